#include "render/html_renderer.h"

#include <fmt/format.h>

#include <string>

#include "layout/page_walk.h"
#include "util/markup.h"
#include "util/utf8.h"

namespace nrw {
namespace {

const char* AlignOf(LayoutAlign align) {
  switch (align) {
    case LayoutAlign::Right:
      return "right";
    case LayoutAlign::Center:
      return "center";
    case LayoutAlign::Left:
      break;
  }
  return "left";
}

// The items as absolutely placed blocks: texts line by line, lines and boxes as borders.
class HtmlPainter final : public PageVisitor {
 public:
  HtmlPainter(const Layout& layout, std::ostream& out, HtmlFaces& faces)
      : layout_(layout),
        out_(out),
        faces_(faces),
        left_(layout.page.margins.left_mm),
        row_(layout.grid.row_mm) {}

  void TextLine(const PlacedItem& at, const FlowLine& line) override {
    const LayoutItem& item = at.item;
    const ResolvedFont font = FontOf(layout_, item);
    const std::string families = faces_.FamiliesFor(std::string(font.family), font.bold, line.text);
    out_ << fmt::format(
                "<div class=\"t\" style=\"left:{:.2f}mm;top:{:.2f}mm;width:{:.2f}mm;"
                "line-height:{:.2f}mm;text-align:{};font:{}{:.1f}pt {}\">",
                left_ + item.x_mm, at.top_mm + line.row * row_, item.w_mm, row_,
                AlignOf(item.align), font.bold ? "bold " : "", font.size_pt, families)
         << MarkupEscaped(EncodeUtf8(line.text)) << "</div>\n";
  }

  void Line(const PlacedItem& at) override {
    const ItemBox& box = at.box;
    if (box.horizontal) {
      out_ << fmt::format(
          "<div class=\"l h\" style=\"left:{:.2f}mm;top:{:.2f}mm;width:{:.2f}mm\"></div>\n",
          left_ + box.x_mm, box.mid_y_mm, box.w_mm);
    } else {
      out_ << fmt::format(
          "<div class=\"l v\" style=\"left:{:.2f}mm;top:{:.2f}mm;height:{:.2f}mm\"></div>\n",
          left_ + box.mid_x_mm, box.y_mm, box.h_mm);
    }
  }

  void Box(const PlacedItem& at) override {
    const ItemBox& box = at.box;
    out_ << fmt::format(
        "<div class=\"b\" style=\"left:{:.2f}mm;top:{:.2f}mm;width:{:.2f}mm;"
        "height:{:.2f}mm\"></div>\n",
        left_ + box.x_mm, box.y_mm, box.w_mm, box.h_mm);
  }

 private:
  const Layout& layout_;
  std::ostream& out_;
  HtmlFaces& faces_;
  double left_;
  double row_;
};

}  // namespace

HtmlPageWriter::HtmlPageWriter(const Layout& layout, std::ostream& out, PdfFaces* faces)
    : layout_(layout), out_(out), faces_(faces != nullptr ? *faces : own_faces_) {
  const LayoutPage& page = layout.page;
  out_ << "<!DOCTYPE html>\n<html lang=\"pt-BR\">\n<head>\n<meta charset=\"utf-8\">\n<title>"
       << MarkupEscaped(layout.title.empty() ? layout.report : layout.title)
       << "</title>\n<style>\n"
       << fmt::format("@page {{ size: {}mm {}mm; margin: 0; }}\n", page.width_mm, page.height_mm)
       << "body { margin: 0; background: #888; }\n"
       << fmt::format(
              ".page {{ position: relative; width: {}mm; height: {}mm; margin: 8mm auto; "
              "background: #fff; overflow: visible; }}\n",
              page.width_mm, page.height_mm)
       << ".t { position: absolute; white-space: pre; color: #000; }\n"
       << ".l, .b { position: absolute; border: 0 solid #000; }\n"
       << ".l.h { border-top-width: 0.2mm; }\n.l.v { border-left-width: 0.2mm; }\n"
       << ".b { border-width: 0.2mm; }\n"
       << "@media print { body { background: none; } .page { margin: 0; break-after: page; } }\n"
       << "</style>\n</head>\n<body>\n";
}

void HtmlPageWriter::Draw(const Page& page) {
  out_ << "<section class=\"page\" data-page=\"" << page.number << "\">\n";
  HtmlPainter painter(layout_, out_, faces_);
  WalkPage(layout_, page, painter);
  out_ << "</section>\n";
}

void HtmlPageWriter::Finish() {
  out_ << "<style>\n" << faces_.FontFaceRules() << "</style>\n</body>\n</html>\n";
  out_.flush();
}

}  // namespace nrw
