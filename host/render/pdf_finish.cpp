#include "render/pdf_finish.h"

#include <fstream>
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFWriter.hh>
#include <random>
#include <sstream>

#include "nrw/core.h"
#include "util/markup.h"

namespace nrw {
namespace {

// Debian's free sRGB profile (icc-profiles-free), the output intent of the archival copies.
constexpr const char* kSrgbProfile = "/usr/share/color/icc/sRGB.icc";

std::string ReadAll(const char* path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    throw Exception(std::string("Perfil de cor não encontrado: ") + path +
                    " (pacote icc-profiles-free).");
  }
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

void Load(QPDF& document, const std::string& pdf) {
  try {
    document.processMemoryFile("documento.pdf", pdf.data(), pdf.size());
  } catch (const std::exception& error) {
    throw Exception(std::string("Documento PDF ilegível: ") + error.what());
  }
}

std::string Write(QPDFWriter& writer) {
  writer.setOutputMemory();
  writer.write();
  const std::shared_ptr<Buffer> buffer = writer.getBufferSharedPointer();
  return std::string(reinterpret_cast<const char*>(buffer->getBuffer()), buffer->getSize());
}

std::string RandomPassword() {
  std::random_device source;
  std::string password;
  constexpr const char* kAlphabet = "ABCDEFGHJKLMNPQRSTUVWXYZabcdefghijkmnopqrstuvwxyz23456789";
  for (int i = 0; i < 32; ++i) password += kAlphabet[source() % 57];
  return password;
}

//! "D:yyyymmddhhmmss" of "yyyy-mm-ddThh:mm:ss".
std::string PdfDate(const std::string& iso) {
  std::string digits;
  for (const char c : iso) {
    if (c >= '0' && c <= '9') digits += c;
  }
  return "D:" + digits;
}

std::string Xmp(const PdfDescription& d, const std::string& producer) {
  return R"(<?xpacket begin="﻿" id="W5M0MpCehiHzreSzNTczkc9d"?>
<x:xmpmeta xmlns:x="adobe:ns:meta/">
<rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#">
<rdf:Description rdf:about="" xmlns:pdfaid="http://www.aiim.org/pdfa/ns/id/">
<pdfaid:part>2</pdfaid:part>
<pdfaid:conformance>B</pdfaid:conformance>
</rdf:Description>
<rdf:Description rdf:about="" xmlns:dc="http://purl.org/dc/elements/1.1/">
<dc:format>application/pdf</dc:format>
<dc:title><rdf:Alt><rdf:li xml:lang="x-default">)" +
         MarkupEscaped(d.title) + R"(</rdf:li></rdf:Alt></dc:title>
<dc:creator><rdf:Seq><rdf:li>)" +
         MarkupEscaped(d.author) + R"(</rdf:li></rdf:Seq></dc:creator>
<dc:description><rdf:Alt><rdf:li xml:lang="x-default">)" +
         MarkupEscaped(d.subject) + R"(</rdf:li></rdf:Alt></dc:description>
</rdf:Description>
<rdf:Description rdf:about="" xmlns:xmp="http://ns.adobe.com/xap/1.0/">
<xmp:CreateDate>)" +
         d.created + R"(</xmp:CreateDate>
<xmp:ModifyDate>)" +
         d.created + R"(</xmp:ModifyDate>
<xmp:CreatorTool>nrw</xmp:CreatorTool>
</rdf:Description>
<rdf:Description rdf:about="" xmlns:pdf="http://ns.adobe.com/pdf/1.3/">
<pdf:Producer>)" +
         MarkupEscaped(producer) + R"(</pdf:Producer>
</rdf:Description>
</rdf:RDF>
</x:xmpmeta>
<?xpacket end="w"?>)";
}

}  // namespace

std::string ProtectPdf(const std::string& pdf, const std::string& password) {
  if (password.empty()) throw Exception("A senha do documento PDF não pode ser vazia.");
  QPDF document;
  Load(document, pdf);
  QPDFWriter writer(document);
  const std::string owner = RandomPassword();
  writer.setR6EncryptionParameters(password.c_str(), owner.c_str(), /*accessibility=*/true,
                                   /*extract=*/true, /*assemble=*/false,
                                   /*annotate_and_form=*/false, /*form_filling=*/false,
                                   /*modify_other=*/false, qpdf_r3p_full,
                                   /*encrypt_metadata=*/true);
  return Write(writer);
}

std::string ArchivePdf(const std::string& pdf, const PdfDescription& description) {
  const std::string profile = ReadAll(kSrgbProfile);
  QPDF document;
  Load(document, pdf);
  const std::string producer = "nrw";

  QPDFObjectHandle info = QPDFObjectHandle::newDictionary();
  info.replaceKey("/Title", QPDFObjectHandle::newUnicodeString(description.title));
  info.replaceKey("/Author", QPDFObjectHandle::newUnicodeString(description.author));
  info.replaceKey("/Subject", QPDFObjectHandle::newUnicodeString(description.subject));
  info.replaceKey("/Creator", QPDFObjectHandle::newString("nrw"));
  info.replaceKey("/Producer", QPDFObjectHandle::newString(producer));
  info.replaceKey("/CreationDate", QPDFObjectHandle::newString(PdfDate(description.created)));
  info.replaceKey("/ModDate", QPDFObjectHandle::newString(PdfDate(description.created)));
  document.getTrailer().replaceKey("/Info", document.makeIndirectObject(info));

  QPDFObjectHandle metadata = document.newStream(Xmp(description, producer));
  metadata.getDict().replaceKey("/Type", QPDFObjectHandle::newName("/Metadata"));
  metadata.getDict().replaceKey("/Subtype", QPDFObjectHandle::newName("/XML"));
  QPDFObjectHandle root = document.getRoot();
  root.replaceKey("/Metadata", metadata);

  QPDFObjectHandle icc = document.newStream(profile);
  icc.getDict().replaceKey("/N", QPDFObjectHandle::newInteger(3));
  QPDFObjectHandle intent = QPDFObjectHandle::newDictionary();
  intent.replaceKey("/Type", QPDFObjectHandle::newName("/OutputIntent"));
  intent.replaceKey("/S", QPDFObjectHandle::newName("/GTS_PDFA1"));
  intent.replaceKey("/OutputConditionIdentifier", QPDFObjectHandle::newString("sRGB IEC61966-2.1"));
  intent.replaceKey("/Info", QPDFObjectHandle::newString("sRGB IEC61966-2.1"));
  intent.replaceKey("/DestOutputProfile", icc);
  QPDFObjectHandle intents = QPDFObjectHandle::newArray();
  intents.appendItem(document.makeIndirectObject(intent));
  root.replaceKey("/OutputIntents", intents);

  QPDFWriter writer(document);
  writer.setMinimumPDFVersion("1.7");
  writer.setDeterministicID(true);
  // Object streams would hide the cross-reference table that PDF/A readers still expect.
  writer.setObjectStreamMode(qpdf_o_disable);
  return Write(writer);
}

}  // namespace nrw
