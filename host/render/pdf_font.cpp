#include "render/pdf_font.h"

#include <fmt/format.h>
#include <hb-subset.h>

#include <cmath>

#include "nrw/core.h"
#include "util/utf8.h"

namespace nrw {
namespace {

// Texts of a long document are mostly repeated; the few that are not (names, amounts) must not
// make the cache grow with the document.
constexpr size_t kMostRuns = 20000;

struct SubsetInputDeleter {
  void operator()(hb_subset_input_t* input) const { hb_subset_input_destroy(input); }
};

}  // namespace

PdfFont::PdfFont(const PdfFace& face) : face_(face) {
  used_[0] = Glyph{0, static_cast<int>(std::lround(hb_font_get_glyph_h_advance(face_.Font(), 0) *
                                                   1000.0 / face_.Upem()))};
}

const PdfGlyphRun& PdfFont::Run(const std::string& utf8) {
  if (const auto found = runs_.find(utf8); found != runs_.end()) return found->second;
  if (runs_.size() >= kMostRuns) runs_.clear();
  PdfGlyphRun run;
  int advance = 0;
  for (const char32_t code : DecodeUtf8(utf8)) {
    hb_codepoint_t glyph = 0;
    if (!hb_font_get_nominal_glyph(face_.Font(), code, &glyph)) glyph = 0;
    if (glyph == 0) run.complete = false;
    const int width = hb_font_get_glyph_h_advance(face_.Font(), glyph);
    advance += width;
    const auto [entry, added] = used_.try_emplace(glyph);
    if (added)
      entry->second = Glyph{code, static_cast<int>(std::lround(width * 1000.0 / face_.Upem()))};
    fmt::format_to(std::back_inserter(run.hex), "{:04X}", glyph);
  }
  run.width_em = static_cast<double>(advance) / face_.Upem();
  return runs_.emplace(utf8, std::move(run)).first->second;
}

int PdfFont::Reference(PdfObjects& objects) {
  if (reference_ == 0) reference_ = objects.Reserve();
  return reference_;
}

std::string PdfFont::SubsetFile() const {
  std::unique_ptr<hb_subset_input_t, SubsetInputDeleter> input(hb_subset_input_create_or_fail());
  if (!input) throw Exception("Memória insuficiente para a fonte do PDF.");
  hb_set_t* glyphs = hb_subset_input_glyph_set(input.get());
  for (const auto& [glyph, info] : used_) hb_set_add(glyphs, glyph);
  hb_subset_input_set_flags(input.get(), HB_SUBSET_FLAGS_RETAIN_GIDS | HB_SUBSET_FLAGS_NO_HINTING);
  std::unique_ptr<hb_face_t, HbDeleter> subset(hb_subset_or_fail(face_.Face(), input.get()));
  if (!subset) throw Exception("Não foi possível embutir a fonte " + face_.File() + " no PDF.");
  std::unique_ptr<hb_blob_t, HbDeleter> blob(hb_face_reference_blob(subset.get()));
  unsigned length = 0;
  const char* data = hb_blob_get_data(blob.get(), &length);
  return std::string(data, length);
}

std::string PdfFont::ToUnicode() const {
  std::string cmap =
      "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
      "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
      "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
      "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
  std::vector<std::pair<hb_codepoint_t, char32_t>> pairs;
  for (const auto& [glyph, info] : used_) {
    if (glyph != 0 && info.code != 0) pairs.emplace_back(glyph, info.code);
  }
  for (size_t start = 0; start < pairs.size(); start += 100) {
    const size_t end = std::min(pairs.size(), start + 100);
    cmap += fmt::format("{} beginbfchar\n", end - start);
    for (size_t i = start; i < end; ++i) {
      cmap += fmt::format("<{:04X}> <", pairs[i].first);
      AppendUtf16Hex(cmap, pairs[i].second);
      cmap += ">\n";
    }
    cmap += "endbfchar\n";
  }
  return cmap + "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
}

std::string PdfFont::Widths() const {
  std::string widths = "[";
  for (const auto& [glyph, info] : used_) widths += fmt::format(" {} [{}]", glyph, info.width);
  return widths + " ]";
}

void PdfFont::WriteObjects(PdfObjects& objects) {
  if (reference_ == 0) return;
  const int descendant = objects.Reserve();
  const int descriptor = objects.Reserve();
  const int file = objects.Reserve();
  const int to_unicode = objects.Reserve();

  // A subset's name starts with six capitals that differ with the glyphs it holds.
  uint32_t hash = 2166136261u;
  for (const auto& [glyph, info] : used_) hash = (hash ^ glyph) * 16777619u;
  std::string tag;
  for (int i = 0; i < 6; ++i, hash /= 26) tag += static_cast<char>('A' + hash % 26);
  const std::string name = tag + "+" + face_.PostScriptName();
  const int* bbox = face_.BBox();

  objects.Write(reference_,
                fmt::format("<< /Type /Font /Subtype /Type0 /BaseFont /{} /Encoding /Identity-H "
                            "/DescendantFonts [{} 0 R] /ToUnicode {} 0 R >>",
                            name, descendant, to_unicode));
  objects.Write(descendant,
                fmt::format("<< /Type /Font /Subtype /CIDFontType2 /BaseFont /{} /CIDSystemInfo "
                            "<< /Registry (Adobe) /Ordering (Identity) /Supplement 0 >> "
                            "/FontDescriptor {} 0 R /CIDToGIDMap /Identity /W {} >>",
                            name, descriptor, Widths()));
  objects.Write(
      descriptor,
      fmt::format("<< /Type /FontDescriptor /FontName /{} /Flags 32 /FontBBox [{} {} {} "
                  "{}] /ItalicAngle 0 /Ascent {} /Descent {} /CapHeight {} /StemV 80 "
                  "/FontFile2 {} 0 R >>",
                  name, bbox[0], bbox[1], bbox[2], bbox[3], std::lround(AscentEm() * 1000),
                  -std::lround(DescentEm() * 1000), face_.CapHeight(), file));
  const std::string subset = SubsetFile();
  objects.WriteStream(file, fmt::format("/Length1 {}", subset.size()), subset);
  objects.WriteStream(to_unicode, "", ToUnicode());
}

}  // namespace nrw
