// Texts of a PDF turned into positioned glyphs once and drawn from then on without shaping: a form
// repeats the same captions and amounts on every page, and shaping each of them again was most of
// the time of a page. Faces are found through pango (fontconfig), glyphs through cairo's scaled
// fonts with unhinted metrics, so that widths are those of the font at any size. Each run keeps
// its clusters, so that the document's text can be extracted and searched.
#pragma once

#include <cairo.h>
#include <pango/pangocairo.h>

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "render/page_geometry.h"

namespace nrw {

struct GlyphRun {
  cairo_scaled_font_t* font = nullptr;  // owned by the GlyphRuns that made the run
  std::vector<cairo_glyph_t> glyphs;    // from the origin of the baseline
  std::vector<cairo_text_cluster_t> clusters;
  cairo_text_cluster_flags_t cluster_flags{};
  double width_pt = 0;
  //! Of the font at the run's size: above and below the baseline.
  double ascent_pt = 0;
  double descent_pt = 0;
};

class GlyphRuns {
 public:
  //! The context is borrowed (the faces are looked up in its font map).
  explicit GlyphRuns(PangoContext* context);
  ~GlyphRuns();
  GlyphRuns(const GlyphRuns&) = delete;
  GlyphRuns& operator=(const GlyphRuns&) = delete;

  //! The run of the UTF-8 text in the font at the size; valid until the next call.
  const GlyphRun& Get(const ResolvedFont& font, double size_pt, const std::string& text);

 private:
  struct FontDeleter {
    void operator()(cairo_font_face_t* face) const { cairo_font_face_destroy(face); }
    void operator()(cairo_scaled_font_t* font) const { cairo_scaled_font_destroy(font); }
    void operator()(cairo_font_options_t* options) const { cairo_font_options_destroy(options); }
  };
  using FaceKey = std::pair<std::string, bool>;
  using SizeKey = std::tuple<std::string, bool, double>;

  cairo_font_face_t* Face(const ResolvedFont& font);
  cairo_scaled_font_t* Scaled(const ResolvedFont& font, double size_pt);

  PangoContext* context_;
  std::unique_ptr<cairo_font_options_t, FontDeleter> options_;
  std::map<FaceKey, std::unique_ptr<cairo_font_face_t, FontDeleter>> faces_;
  std::map<SizeKey, std::unique_ptr<cairo_scaled_font_t, FontDeleter>> scaled_;
  std::unordered_map<std::string, GlyphRun> runs_;
};

}  // namespace nrw
