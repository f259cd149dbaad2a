// The PDF file structure written front to back: numbered objects, the cross-reference table whose
// offsets a reader follows, compressed streams, the trailer, and the numbers and text strings that
// go into dictionaries and content streams.
#include "render/pdf_objects.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "nrw/core.h"
#include "parsed_pdf.h"

namespace {

// The cross-reference entries of a file: one offset per object number, from 1.
std::vector<size_t> XrefOffsets(const std::string& pdf) {
  const size_t xref = pdf.rfind("\nxref\n") + 1;
  std::istringstream table(pdf.substr(xref));
  std::string word;
  size_t first = 0;
  size_t count = 0;
  table >> word >> first >> count;
  std::vector<size_t> offsets;
  for (size_t i = 0; i < count; ++i) {
    std::string offset, generation, kind;
    table >> offset >> generation >> kind;
    if (i > 0) offsets.push_back(std::stoul(offset));
  }
  return offsets;
}

// A document of four objects written out of their numbers' order, one of them a stream.
std::string FourObjects(const std::string& stream_data) {
  std::ostringstream out;
  nrw::PdfObjects objects(out);
  const int catalog = objects.Reserve();
  const int tree = objects.Reserve();
  const int info = objects.Reserve();
  const int extra = objects.Reserve();
  EXPECT_EQ((std::vector<int>{catalog, tree, info, extra}), (std::vector<int>{1, 2, 3, 4}));
  objects.WriteStream(extra, "/Type /Teste", stream_data);
  objects.Write(tree, "<< /Type /Pages /Kids [ ] /Count 0 >>");
  objects.Write(info, "<< /Producer (nrw) >>");
  objects.Write(catalog, "<< /Type /Catalog /Pages 2 0 R /Extra 4 0 R >>");
  objects.Finish(catalog, info);
  return out.str();
}

TEST(PdfObjects, EveryCrossReferenceOffsetPointsAtItsObject) {
  const std::string pdf = FourObjects("conteúdo");
  const std::vector<size_t> offsets = XrefOffsets(pdf);
  ASSERT_EQ(offsets.size(), 4u);
  for (size_t i = 0; i < offsets.size(); ++i) {
    const std::string header = std::to_string(i + 1) + " 0 obj\n";
    EXPECT_EQ(pdf.substr(offsets[i], header.size()), header) << "object " << i + 1;
  }
  const size_t startxref = pdf.rfind("startxref\n") + 10;
  EXPECT_EQ(pdf.substr(std::stoul(pdf.substr(startxref)), 5), "xref\n");
  EXPECT_NE(pdf.find("trailer\n<< /Size 5 /Root 1 0 R /Info 3 0 R >>"), std::string::npos);
  EXPECT_EQ(pdf.substr(pdf.size() - 6), "%%EOF\n");
}

TEST(PdfObjects, AReaderFindsTheObjectsAndTheStreamsDataWithoutRepairs) {
  std::string data;
  for (int i = 0; i < 2000; ++i) data += "BT /F1 8 Tf (linha " + std::to_string(i) + ") Tj ET\n";
  render_test::ParsedPdf parsed(FourObjects(data));
  EXPECT_EQ(parsed.Pdf().getRoot().getKey("/Type").getName(), "/Catalog");
  EXPECT_EQ(parsed.Pdf().getTrailer().getKey("/Info").getKey("/Producer").getUTF8Value(), "nrw");
  QPDFObjectHandle stream = parsed.Object(4);
  ASSERT_TRUE(stream.isStream());
  EXPECT_EQ(stream.getDict().getKey("/Type").getName(), "/Teste");
  EXPECT_EQ(render_test::ParsedPdf::Data(stream), data);
  EXPECT_LT(stream.getDict().getKey("/Length").getIntValue(), static_cast<long long>(data.size()))
      << "compressed";
  EXPECT_TRUE(parsed.Warnings().empty()) << parsed.Warnings().front();
}

TEST(PdfObjects, ANumberReservedAndNeverWrittenFailsTheDocument) {
  std::ostringstream out;
  nrw::PdfObjects objects(out);
  const int catalog = objects.Reserve();
  const int info = objects.Reserve();
  objects.Reserve();
  objects.Write(catalog, "<< /Type /Catalog >>");
  objects.Write(info, "<< >>");
  EXPECT_THROW(objects.Finish(catalog, info), nrw::Exception);
}

TEST(PdfNumbers, AtMostTwoDecimalsWithoutTrailingZeros) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {0, "0"},       {12, "12"},         {12.5, "12.5"}, {12.05, "12.05"},
      {12.004, "12"}, {12.006, "12.01"},  {-0.5, "-0.5"}, {-1.25, "-1.25"},
      {-0.004, "0"},  {841.89, "841.89"}, {0.1, "0.1"},   {-12, "-12"},
  };
  for (const auto& c : cases) {
    std::string text;
    nrw::AppendPdfNumber(text, c.value);
    EXPECT_EQ(text, c.text) << c.value;
  }
}

TEST(PdfTextStrings, PlainAsciiIsLiteralAnythingElseUtf16Hex) {
  const struct {
    const char* name;
    const char* utf8;
    const char* pdf;
  } cases[] = {
      {"plain", "Informe de Rendimentos", "(Informe de Rendimentos)"},
      {"empty", "", "()"},
      {"accents", "Ação", "<FEFF004100E700E3006F>"},
      {"parenthesis would need escaping", "a(b)", "<FEFF0061002800620029>"},
      {"backslash", "a\\b", "<FEFF0061005C0062>"},
      {"line break", "a\nb", "<FEFF0061000A0062>"},
      {"above the basic plane: a surrogate pair", "x\xF0\x9F\x98\x80", "<FEFF0078D83DDE00>"},
      {"last code point", "\xF4\x8F\xBF\xBF", "<FEFFDBFFDFFF>"},
  };
  for (const auto& c : cases) EXPECT_EQ(nrw::PdfTextString(c.utf8), c.pdf) << c.name;
}

TEST(PdfTextStrings, Utf16HexOfOneCodePoint) {
  const struct {
    char32_t code;
    const char* hex;
  } cases[] = {
      {U'A', "0041"},        {U'\u00E7', "00E7"},   {U'\u20AC', "20AC"},    {U'\uFFFD', "FFFD"},
      {0x10000, "D800DC00"}, {0x1F600, "D83DDE00"}, {0x10FFFF, "DBFFDFFF"},
  };
  for (const auto& c : cases) {
    std::string hex;
    nrw::AppendUtf16Hex(hex, c.code);
    EXPECT_EQ(hex, c.hex) << static_cast<unsigned>(c.code);
  }
}

}  // namespace
