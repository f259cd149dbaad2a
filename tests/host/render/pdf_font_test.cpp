// One face as a document uses it: the glyph runs of its texts, and the objects written at the end
// (the subset that keeps glyph ids, the widths, the map back to Unicode), read back with qpdf and
// the subset with HarfBuzz.
#include "render/pdf_font.h"

#include <gtest/gtest.h>
#include <hb.h>

#include <cmath>
#include <map>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "parsed_pdf.h"
#include "render/pdf_faces.h"
#include "render/pdf_objects.h"
#include "util/utf8.h"

namespace {

const char* const kTexts[] = {"Açúcar e pão", "Nº 1.234,56 — €", "Açúcar e pão", "MÊS"};

std::vector<unsigned> GlyphsOfHex(const std::string& hex) {
  std::vector<unsigned> glyphs;
  for (size_t at = 0; at + 4 <= hex.size(); at += 4) {
    glyphs.push_back(static_cast<unsigned>(std::stoul(hex.substr(at, 4), nullptr, 16)));
  }
  return glyphs;
}

// Glyph id to code point, from the bfchar entries of a ToUnicode map.
std::map<unsigned, char32_t> ReadToUnicode(const std::string& cmap) {
  std::map<unsigned, char32_t> map;
  const std::regex entry("<([0-9A-F]{4})> <([0-9A-F]{4})([0-9A-F]{4})?>");
  for (std::sregex_iterator it(cmap.begin(), cmap.end(), entry), end; it != end; ++it) {
    char32_t code = static_cast<char32_t>(std::stoul((*it)[2], nullptr, 16));
    if ((*it)[3].matched) {
      const auto low = static_cast<char32_t>(std::stoul((*it)[3], nullptr, 16));
      code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
    }
    map[static_cast<unsigned>(std::stoul((*it)[1], nullptr, 16))] = code;
  }
  return map;
}

class PdfFontTest : public ::testing::Test {
 protected:
  // The runs of kTexts, then the font's objects in a document of their own.
  void SetUp() override {
    for (const char* text : kTexts) runs_.push_back(font_.Run(text));
    std::ostringstream out;
    nrw::PdfObjects objects(out);
    const int catalog = objects.Reserve();
    const int tree = objects.Reserve();
    const int info = objects.Reserve();
    reference_ = font_.Reference(objects);
    font_.WriteObjects(objects);
    objects.Write(tree, "<< /Type /Pages /Kids [ ] /Count 0 >>");
    objects.Write(catalog, "<< /Type /Catalog /Pages 2 0 R >>");
    objects.Write(info, "<< >>");
    objects.Finish(catalog, info);
    parsed_ = std::make_unique<render_test::ParsedPdf>(out.str());
  }

  QPDFObjectHandle Descendant() {
    return parsed_->Object(reference_).getKey("/DescendantFonts").getArrayItem(0);
  }
  unsigned GlyphOf(char32_t code) const {
    hb_codepoint_t glyph = 0;
    hb_font_get_nominal_glyph(face_.Font(), code, &glyph);
    return glyph;
  }
  int WidthOf(unsigned glyph) const {
    return static_cast<int>(
        std::lround(hb_font_get_glyph_h_advance(face_.Font(), glyph) * 1000.0 / face_.Upem()));
  }

  nrw::PdfFaces faces_;
  const nrw::PdfFace& face_ = faces_.Get("Liberation Sans", false);
  nrw::PdfFont font_{face_};
  std::vector<nrw::PdfGlyphRun> runs_;
  int reference_ = 0;
  std::unique_ptr<render_test::ParsedPdf> parsed_;
};

TEST_F(PdfFontTest, RunsAreTheFacesGlyphIdsAndAdvances) {
  for (size_t i = 0; i < std::size(kTexts); ++i) {
    std::vector<unsigned> expected;
    int advance = 0;
    for (const char32_t code : nrw::DecodeUtf8(kTexts[i])) {
      expected.push_back(GlyphOf(code));
      advance += hb_font_get_glyph_h_advance(face_.Font(), GlyphOf(code));
    }
    EXPECT_EQ(GlyphsOfHex(runs_[i].hex), expected) << kTexts[i];
    EXPECT_DOUBLE_EQ(runs_[i].width_em, static_cast<double>(advance) / face_.Upem()) << kTexts[i];
    for (const unsigned glyph : expected) EXPECT_NE(glyph, 0u) << kTexts[i] << " is in the face";
  }
}

TEST_F(PdfFontTest, TheDocumentReadsBackWithoutRepairs) {
  EXPECT_TRUE(parsed_->Warnings().empty()) << parsed_->Warnings().front();
  EXPECT_EQ(parsed_->Object(reference_).getKey("/Subtype").getName(), "/Type0");
  EXPECT_EQ(Descendant().getKey("/CIDToGIDMap").getName(), "/Identity");
}

TEST_F(PdfFontTest, WidthsGiveEveryGlyphUsedItsAdvanceInThousandths) {
  QPDFObjectHandle widths = Descendant().getKey("/W");
  std::map<unsigned, int> written;
  for (int i = 0; i + 1 < widths.getArrayNItems(); i += 2) {
    const auto glyph = static_cast<unsigned>(widths.getArrayItem(i).getIntValue());
    QPDFObjectHandle list = widths.getArrayItem(i + 1);
    ASSERT_EQ(list.getArrayNItems(), 1) << glyph;
    written[glyph] = static_cast<int>(list.getArrayItem(0).getIntValue());
  }
  std::map<unsigned, int> expected{{0, WidthOf(0)}};
  for (const nrw::PdfGlyphRun& run : runs_) {
    for (const unsigned glyph : GlyphsOfHex(run.hex)) expected[glyph] = WidthOf(glyph);
  }
  EXPECT_EQ(written, expected);
}

TEST_F(PdfFontTest, ToUnicodeTakesEveryRunBackToItsText) {
  const std::map<unsigned, char32_t> to_unicode =
      ReadToUnicode(render_test::ParsedPdf::Data(parsed_->Object(reference_).getKey("/ToUnicode")));
  for (size_t i = 0; i < std::size(kTexts); ++i) {
    std::u32string text;
    for (const unsigned glyph : GlyphsOfHex(runs_[i].hex)) {
      const auto found = to_unicode.find(glyph);
      ASSERT_NE(found, to_unicode.end()) << "glyph " << glyph << " of " << kTexts[i];
      text += found->second;
    }
    EXPECT_EQ(nrw::EncodeUtf8(text), kTexts[i]);
  }
}

TEST_F(PdfFontTest, TheSubsetKeepsTheGlyphsUsedAtTheirIdsAndDropsTheRest) {
  const std::string file =
      render_test::ParsedPdf::Data(Descendant().getKey("/FontDescriptor").getKey("/FontFile2"));
  std::unique_ptr<hb_blob_t, nrw::HbDeleter> blob(hb_blob_create(
      file.data(), static_cast<unsigned>(file.size()), HB_MEMORY_MODE_READONLY, nullptr, nullptr));
  std::unique_ptr<hb_face_t, nrw::HbDeleter> face(hb_face_create(blob.get(), 0));
  std::unique_ptr<hb_font_t, nrw::HbDeleter> subset(hb_font_create(face.get()));

  const auto extents = [](hb_font_t* font, unsigned glyph) {
    hb_glyph_extents_t e{};
    hb_font_get_glyph_extents(font, glyph, &e);
    return std::vector<int>{e.x_bearing, e.y_bearing, e.width, e.height};
  };
  for (const char32_t code : nrw::DecodeUtf8("AçúNº€")) {
    const unsigned glyph = GlyphOf(code);
    EXPECT_EQ(extents(subset.get(), glyph), extents(face_.Font(), glyph))
        << "glyph " << glyph << " kept at its id";
  }
  for (const char32_t code : nrw::DecodeUtf8("ZQ")) {
    const unsigned glyph = GlyphOf(code);
    EXPECT_NE(extents(face_.Font(), glyph), std::vector<int>(4, 0));
    EXPECT_EQ(extents(subset.get(), glyph), std::vector<int>(4, 0))
        << "glyph " << glyph << " unused";
  }
  EXPECT_EQ(Descendant()
                .getKey("/FontDescriptor")
                .getKey("/FontFile2")
                .getDict()
                .getKey("/Length1")
                .getIntValue(),
            static_cast<long long>(file.size()));
}

}  // namespace
