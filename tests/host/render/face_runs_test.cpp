// Characters the layout's face lacks are drawn by faces that have them, never as blanks: the runs
// of a line by face, the error for a character no face has, and the faces an HTML page embeds.
#include "render/face_runs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nrw/core.h"
#include "render/html_faces.h"
#include "render/pdf_faces.h"
#include "util/utf8.h"

namespace {

constexpr const char* kFamily = "Liberation Sans";

class FaceRunsTest : public ::testing::Test {
 protected:
  nrw::PdfFaces faces_;
  const nrw::PdfFace& primary_ = faces_.Get(kFamily, false);
};

TEST_F(FaceRunsTest, EveryCharacterIsDrawnByAFaceThatHasIt) {
  const struct {
    const char* name;
    std::string text;
    std::string drawn;
    size_t runs_of_the_layouts_face;
  } cases[] = {
      {"Latin alone", "José Conceição", "José Conceição", 1},
      {"Chinese between Latin", "Li 中文 Wei", "Li 中文 Wei", 2},
      {"emoji", "Festa 😀🎉!", "Festa 😀🎉!", 2},
      {"a variation selector the face lacks shows nothing", "Ok \xEF\xB8\x8F!", "Ok !", 1},
  };
  for (const auto& c : cases) {
    const std::vector<nrw::FaceRun> runs =
        nrw::FaceRuns(faces_, kFamily, false, nrw::DecodeUtf8(c.text));
    std::u32string drawn;
    size_t primary_runs = 0;
    for (const nrw::FaceRun& run : runs) {
      ASSERT_NE(run.face, nullptr) << c.name;
      for (const char32_t ch : run.text) EXPECT_TRUE(run.face->Has(ch)) << c.name;
      primary_runs += run.face == &primary_;
      drawn += run.text;
    }
    EXPECT_EQ(nrw::EncodeUtf8(drawn), c.drawn) << c.name;
    EXPECT_EQ(primary_runs, c.runs_of_the_layouts_face) << c.name;
  }
}

TEST_F(FaceRunsTest, ACharacterNoFaceHasIsAnErrorNamingTheText) {
  try {
    nrw::FaceRuns(faces_, kFamily, false, U"Nome \U0010FFFD");
    FAIL() << "no installed face has U+10FFFD";
  } catch (const nrw::Exception& error) {
    const std::string message = error.what();
    EXPECT_NE(message.find("\"Nome \xF4\x8F\xBF\xBD\""), std::string::npos) << message;
    EXPECT_NE(message.find("U+10FFFD"), std::string::npos) << message;
  }
}

TEST_F(FaceRunsTest, AnHtmlPageEmbedsEachFaceItUsesWithItsCharacters) {
  nrw::HtmlFaces html(faces_);
  EXPECT_EQ(html.FamiliesFor(kFamily, false, U"Ana"), "'nrw1'");
  const std::string families = html.FamiliesFor(kFamily, false, U"Li 中文");
  EXPECT_EQ(families.rfind("'nrw1',", 0), 0u) << families;
  EXPECT_NE(html.FamiliesFor(kFamily, true, U"Título"), "'nrw1'") << "bold is a face of its own";
  const std::string rules = html.FontFaceRules();
  EXPECT_NE(rules.find("font-family: 'nrw1'; font-weight: normal; src: url(data:font/ttf;base64,"),
            std::string::npos);
  EXPECT_NE(rules.find("font-weight: bold"), std::string::npos);
}

TEST(Base64, ThreeBytesToFourDigitsWithPadding) {
  const struct {
    std::string bytes;
    const char* digits;
  } cases[] = {{"", ""},        {"f", "Zg=="},        {"fo", "Zm8="},
               {"foo", "Zm9v"}, {"foob", "Zm9vYg=="}, {std::string("\xFF\x00\x80", 3), "/wCA"}};
  for (const auto& c : cases) EXPECT_EQ(nrw::Base64(c.bytes), c.digits) << c.digits;
}

}  // namespace
