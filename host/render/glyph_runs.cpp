#include "render/glyph_runs.h"

#include "nrw/core.h"

namespace nrw {
namespace {

// Texts of a long document are mostly repeated; the few that are not (names, amounts) must not
// make the cache grow with the document.
constexpr size_t kMostRuns = 20000;

struct PangoDeleter {
  void operator()(PangoFontDescription* description) const {
    pango_font_description_free(description);
  }
  void operator()(PangoFont* font) const { g_object_unref(font); }
};

}  // namespace

GlyphRuns::GlyphRuns(PangoContext* context)
    : context_(context), options_(cairo_font_options_create()) {
  // Widths as the font defines them at every size: a PDF is scaled, not printed at one resolution.
  cairo_font_options_set_hint_metrics(options_.get(), CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_hint_style(options_.get(), CAIRO_HINT_STYLE_NONE);
}

GlyphRuns::~GlyphRuns() {
  // Runs point into the scaled fonts; the fonts into the faces.
  runs_.clear();
  scaled_.clear();
  faces_.clear();
}

cairo_font_face_t* GlyphRuns::Face(const ResolvedFont& font) {
  auto& face = faces_[{font.family, font.bold}];
  if (face) return face.get();
  const std::unique_ptr<PangoFontDescription, PangoDeleter> description(
      pango_font_description_new());
  pango_font_description_set_family(description.get(), font.family.c_str());
  pango_font_description_set_weight(description.get(),
                                    font.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_font_description_set_absolute_size(description.get(), 10 * PANGO_SCALE);
  const std::unique_ptr<PangoFont, PangoDeleter> loaded(
      pango_context_load_font(context_, description.get()));
  cairo_scaled_font_t* scaled =
      loaded ? pango_cairo_font_get_scaled_font(PANGO_CAIRO_FONT(loaded.get())) : nullptr;
  if (scaled == nullptr) throw Exception("Fonte não encontrada para o PDF: " + font.family + ".");
  face.reset(cairo_font_face_reference(cairo_scaled_font_get_font_face(scaled)));
  return face.get();
}

cairo_scaled_font_t* GlyphRuns::Scaled(const ResolvedFont& font, double size_pt) {
  auto& scaled = scaled_[{font.family, font.bold, size_pt}];
  if (scaled) return scaled.get();
  cairo_matrix_t size;
  cairo_matrix_init_scale(&size, size_pt, size_pt);
  cairo_matrix_t identity;
  cairo_matrix_init_identity(&identity);
  scaled.reset(cairo_scaled_font_create(Face(font), &size, &identity, options_.get()));
  if (cairo_scaled_font_status(scaled.get()) != CAIRO_STATUS_SUCCESS) {
    throw Exception("Fonte inválida para o PDF: " + font.family + ".");
  }
  return scaled.get();
}

const GlyphRun& GlyphRuns::Get(const ResolvedFont& font, double size_pt, const std::string& text) {
  std::string key = font.family;
  key += font.bold ? '\x01' : '\x02';
  key.append(reinterpret_cast<const char*>(&size_pt), sizeof size_pt);
  key += text;
  if (const auto found = runs_.find(key); found != runs_.end()) return found->second;
  if (runs_.size() >= kMostRuns) runs_.clear();

  GlyphRun run;
  run.font = Scaled(font, size_pt);
  cairo_glyph_t* glyphs = nullptr;
  int glyph_count = 0;
  cairo_text_cluster_t* clusters = nullptr;
  int cluster_count = 0;
  const cairo_status_t status = cairo_scaled_font_text_to_glyphs(
      run.font, 0, 0, text.data(), static_cast<int>(text.size()), &glyphs, &glyph_count, &clusters,
      &cluster_count, &run.cluster_flags);
  if (status != CAIRO_STATUS_SUCCESS) {
    throw Exception("Texto que o PDF não consegue desenhar: " + text + ".");
  }
  run.glyphs.assign(glyphs, glyphs + glyph_count);
  run.clusters.assign(clusters, clusters + cluster_count);
  cairo_glyph_free(glyphs);
  cairo_text_cluster_free(clusters);

  cairo_text_extents_t extents;
  cairo_scaled_font_glyph_extents(run.font, run.glyphs.data(), glyph_count, &extents);
  run.width_pt = extents.x_advance;
  cairo_font_extents_t metrics;
  cairo_scaled_font_extents(run.font, &metrics);
  run.ascent_pt = metrics.ascent;
  run.descent_pt = metrics.descent;
  return runs_.emplace(std::move(key), std::move(run)).first->second;
}

}  // namespace nrw
