#include "render/pdf_renderer.h"

#include <cairo-pdf.h>
#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <string>

#include "nrw/core.h"
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
  void operator()(PangoFontDescription* font) const { pango_font_description_free(font); }
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

  //! Sets the font of the item at the size given; answers the text's width and height in points.
  std::pair<double, double> Measure(const ResolvedFont& font, double size_pt,
                                    const std::string& line) {
    const CairoPtr<PangoFontDescription> description(pango_font_description_new());
    pango_font_description_set_family(description.get(), font.family.c_str());
    pango_font_description_set_weight(description.get(),
                                      font.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_absolute_size(description.get(), size_pt * PANGO_SCALE);
    pango_layout_set_font_description(text.get(), description.get());
    pango_layout_set_text(text.get(), line.c_str(), static_cast<int>(line.size()));
    PangoRectangle logical;
    pango_layout_get_extents(text.get(), nullptr, &logical);
    return {static_cast<double>(logical.width) / PANGO_SCALE,
            static_cast<double>(logical.height) / PANGO_SCALE};
  }

  void DrawTextLine(const LayoutItem& item, const ResolvedFont& font, const std::string& line,
                    double top_mm, double row_mm) {
    if (line.empty()) return;
    const double box_w = item.w_mm * kPointsPerMm;
    double size = font.size_pt;
    auto [width, height] = Measure(font, size, line);
    if (width > box_w && width > 0) {
      // Smaller, never cut: the whole value stays readable inside its item.
      size = std::max(kSmallestFontPt, size * box_w / width);
      std::tie(width, height) = Measure(font, size, line);
    }
    double x = item.x_mm * kPointsPerMm;
    if (item.align == LayoutAlign::Right) x += box_w - width;
    if (item.align == LayoutAlign::Center) x += (box_w - width) / 2;
    const double y = top_mm * kPointsPerMm + (row_mm * kPointsPerMm - height) / 2;
    cairo_move_to(cr.get(), x, y);
    pango_cairo_show_layout(cr.get(), text.get());
  }

  void DrawSection(const PlacedSection& placed) {
    const LayoutSection* section = layout.FindSection(placed.number);
    if (section == nullptr) return;
    const SectionFlow flow = FlowSection(*section, placed.texts, placed.hidden, layout.grid);
    const double body_left = layout.page.margins.left_mm;
    const double body_top = layout.page.margins.top_mm + placed.top_mm;
    cairo_save(cr.get());
    cairo_translate(cr.get(), body_left * kPointsPerMm, 0);
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
            cairo_move_to(cr.get(), box.x_mm * kPointsPerMm, box.mid_y_mm * kPointsPerMm);
            cairo_line_to(cr.get(), (box.x_mm + box.w_mm) * kPointsPerMm,
                          box.mid_y_mm * kPointsPerMm);
          } else {
            cairo_move_to(cr.get(), box.mid_x_mm * kPointsPerMm, box.y_mm * kPointsPerMm);
            cairo_line_to(cr.get(), box.mid_x_mm * kPointsPerMm,
                          (box.y_mm + box.h_mm) * kPointsPerMm);
          }
          cairo_stroke(cr.get());
          break;
        case LayoutItemType::Box:
          cairo_rectangle(cr.get(), box.x_mm * kPointsPerMm, box.y_mm * kPointsPerMm,
                          box.w_mm * kPointsPerMm, box.h_mm * kPointsPerMm);
          cairo_stroke(cr.get());
          break;
      }
    }
    cairo_restore(cr.get());
  }

  const Layout& layout;
  CairoPtr<cairo_surface_t> surface;
  CairoPtr<cairo_t> cr;
  CairoPtr<PangoLayout> text;
  bool finished = false;
};

PdfPageWriter::PdfPageWriter(const Layout& layout, std::ostream& out)
    : impl_(std::make_unique<Impl>(layout, out)) {}

PdfPageWriter::~PdfPageWriter() {
  if (!impl_->finished) cairo_surface_finish(impl_->surface.get());
}

void PdfPageWriter::Draw(const Page& page) {
  for (const PlacedSection& placed : page.sections) impl_->DrawSection(placed);
  cairo_show_page(impl_->cr.get());
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
