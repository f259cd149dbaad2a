#include "render/pdf_renderer.h"

#include <cairo-pdf.h>
#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <string>
#include <vector>

#include "nrw/core.h"
#include "render/glyph_runs.h"
#include "render/page_geometry.h"
#include "report/section_flow.h"
#include "util/utf8.h"

namespace nrw {
namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;
constexpr double kStrokePt = 0.5;
constexpr double kSmallestFontPt = 4.0;

struct CairoDeleter {
  void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
  void operator()(cairo_t* cr) const { cairo_destroy(cr); }
  void operator()(PangoLayout* layout) const { g_object_unref(layout); }
};
template <class T>
using CairoPtr = std::unique_ptr<T, CairoDeleter>;

cairo_status_t WriteToStream(void* closure, const unsigned char* data, unsigned int length) {
  auto* out = static_cast<std::ostream*>(closure);
  out->write(reinterpret_cast<const char*>(data), length);
  return *out ? CAIRO_STATUS_SUCCESS : CAIRO_STATUS_WRITE_ERROR;
}

}  // namespace

struct PdfPageWriter::Impl {
  Impl(const Layout& layout_in, std::ostream& out)
      : layout(layout_in),
        surface(cairo_pdf_surface_create_for_stream(&WriteToStream, &out,
                                                    layout_in.page.width_mm * kPointsPerMm,
                                                    layout_in.page.height_mm * kPointsPerMm)),
        cr(cairo_create(surface.get())),
        text(pango_cairo_create_layout(cr.get())) {
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS ||
        cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) {
      throw Exception("Não foi possível iniciar o documento PDF.");
    }
    // One pango unit of size is one point on the page.
    pango_cairo_context_set_resolution(pango_layout_get_context(text.get()), 72.0);
    pango_cairo_update_layout(cr.get(), text.get());
    cairo_set_line_width(cr.get(), kStrokePt);
    cairo_set_source_rgb(cr.get(), 0, 0, 0);
    if (!layout.title.empty()) {
      cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_TITLE, layout.title.c_str());
    }
    cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_CREATOR, "nrw");
  }

  void DrawTextLine(const LayoutItem& item, const ResolvedFont& font, const std::string& line,
                    double top_mm, double row_mm) {
    if (line.empty()) return;
    const double box_w = item.w_mm * kPointsPerMm;
    const GlyphRun* run = &runs.Get(font, font.size_pt, line);
    if (run->width_pt > box_w && run->width_pt > 0) {
      // Smaller, never cut: the whole value stays readable inside its item.
      run = &runs.Get(font, std::max(kSmallestFontPt, font.size_pt * box_w / run->width_pt), line);
    }
    double x = item.x_mm * kPointsPerMm;
    if (item.align == LayoutAlign::Right) x += box_w - run->width_pt;
    if (item.align == LayoutAlign::Center) x += (box_w - run->width_pt) / 2;
    const double height = run->ascent_pt + run->descent_pt;
    const double baseline =
        top_mm * kPointsPerMm + (row_mm * kPointsPerMm - height) / 2 + run->ascent_pt;
    TextBatch& batch = BatchOf(run->font);
    for (cairo_glyph_t glyph : run->glyphs) {
      glyph.x += left_pt + x;
      glyph.y += baseline;
      batch.glyphs.push_back(glyph);
    }
    batch.utf8 += line;
    batch.clusters.insert(batch.clusters.end(), run->clusters.begin(), run->clusters.end());
  }

  // Every text of a page in one font goes to cairo as one call, and every stroke as one path: the
  // PDF surface analyses each call of a page again when the page ends, so the number of calls,
  // not their size, made most of a page's time. Black on white, nothing overlaps in meaning: the
  // order of the drawing does not show.
  struct TextBatch {
    cairo_scaled_font_t* font = nullptr;
    std::string utf8;
    std::vector<cairo_glyph_t> glyphs;
    std::vector<cairo_text_cluster_t> clusters;
  };

  TextBatch& BatchOf(cairo_scaled_font_t* font) {
    for (TextBatch& batch : batches) {
      if (batch.font == font) return batch;
    }
    batches.push_back(TextBatch{font, {}, {}, {}});
    return batches.back();
  }

  void FinishPage() {
    if (has_strokes) cairo_stroke(cr.get());
    has_strokes = false;
    for (TextBatch& batch : batches) {
      cairo_set_scaled_font(cr.get(), batch.font);
      cairo_show_text_glyphs(cr.get(), batch.utf8.data(), static_cast<int>(batch.utf8.size()),
                             batch.glyphs.data(), static_cast<int>(batch.glyphs.size()),
                             batch.clusters.data(), static_cast<int>(batch.clusters.size()),
                             cairo_text_cluster_flags_t{});
    }
    batches.clear();
    cairo_show_page(cr.get());
  }

  void DrawSection(const PlacedSection& placed) {
    const LayoutSection* section = layout.FindSection(placed.number);
    if (section == nullptr) return;
    const SectionFlow flow = FlowSection(*section, placed.texts, placed.hidden, layout.grid);
    const double body_left = layout.page.margins.left_mm;
    const double body_top = layout.page.margins.top_mm + placed.top_mm;
    left_pt = body_left * kPointsPerMm;
    for (size_t i = 0; i < section->items.size(); ++i) {
      if (!placed.hidden.empty() && placed.hidden[i]) continue;
      const LayoutItem& item = section->items[i];
      const ItemFlow& place = flow.items[i];
      const ItemBox box = PlaceItem(layout, item, place, body_top);
      switch (item.type) {
        case LayoutItemType::Text:
        case LayoutItemType::Label: {
          const ResolvedFont font = FontOf(layout, item);
          for (const FlowLine& line : place.lines) {
            DrawTextLine(item, font, EncodeUtf8(line.text),
                         body_top + line.row * layout.grid.row_mm, layout.grid.row_mm);
          }
          break;
        }
        case LayoutItemType::Line:
          if (box.horizontal) {
            cairo_move_to(cr.get(), left_pt + box.x_mm * kPointsPerMm, box.mid_y_mm * kPointsPerMm);
            cairo_line_to(cr.get(), left_pt + (box.x_mm + box.w_mm) * kPointsPerMm,
                          box.mid_y_mm * kPointsPerMm);
          } else {
            cairo_move_to(cr.get(), left_pt + box.mid_x_mm * kPointsPerMm, box.y_mm * kPointsPerMm);
            cairo_line_to(cr.get(), left_pt + box.mid_x_mm * kPointsPerMm,
                          (box.y_mm + box.h_mm) * kPointsPerMm);
          }
          has_strokes = true;
          break;
        case LayoutItemType::Box:
          cairo_rectangle(cr.get(), left_pt + box.x_mm * kPointsPerMm, box.y_mm * kPointsPerMm,
                          box.w_mm * kPointsPerMm, box.h_mm * kPointsPerMm);
          has_strokes = true;
          break;
      }
    }
  }

  const Layout& layout;
  CairoPtr<cairo_surface_t> surface;
  CairoPtr<cairo_t> cr;
  CairoPtr<PangoLayout> text;
  GlyphRuns runs{pango_layout_get_context(text.get())};
  std::vector<TextBatch> batches;
  bool has_strokes = false;
  double left_pt = 0;
  bool finished = false;
};

PdfPageWriter::PdfPageWriter(const Layout& layout, std::ostream& out)
    : impl_(std::make_unique<Impl>(layout, out)) {}

PdfPageWriter::~PdfPageWriter() {
  if (!impl_->finished) cairo_surface_finish(impl_->surface.get());
}

void PdfPageWriter::Draw(const Page& page) {
  for (const PlacedSection& placed : page.sections) impl_->DrawSection(placed);
  impl_->FinishPage();
}

void PdfPageWriter::Finish() {
  impl_->finished = true;
  impl_->text.reset();
  cairo_surface_finish(impl_->surface.get());
  // A failed write is the stream's, which its owner reports with the file's name.
  const cairo_status_t status = cairo_surface_status(impl_->surface.get());
  if (status != CAIRO_STATUS_SUCCESS && status != CAIRO_STATUS_WRITE_ERROR) {
    throw Exception(std::string("Falha ao gravar o documento PDF: ") +
                    cairo_status_to_string(status) + ".");
  }
}

}  // namespace nrw
