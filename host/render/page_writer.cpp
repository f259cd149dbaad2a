#include "render/page_writer.h"

#include <string>

#include "render/csv_writer.h"
#include "render/html_renderer.h"
#include "render/pdf_renderer.h"
#include "render/text_renderer.h"
#include "render/writer_resources.h"
#include "render/xlsx_writer.h"

namespace nrw {
PageWriter::~PageWriter() = default;

WriterResources::WriterResources() : parts_(std::make_unique<Parts>()) {}

WriterResources::~WriterResources() = default;

std::unique_ptr<PageWriter> MakePageWriter(OutputFormat format, const Layout& layout,
                                           std::ostream& out, WriterResources* resources) {
  switch (format) {
    case OutputFormat::Pdf:
      return std::make_unique<PdfPageWriter>(
          layout, out, resources != nullptr ? &resources->Get().faces : nullptr);
    case OutputFormat::Html:
      return std::make_unique<HtmlPageWriter>(layout, out);
    case OutputFormat::Xlsx:
      return std::make_unique<XlsxPageWriter>(layout, out);
    case OutputFormat::Csv:
      return std::make_unique<CsvPageWriter>(layout, out);
    case OutputFormat::Text:
      break;
  }
  return std::make_unique<TextPageWriter>(layout, out);
}

void WritePages(OutputFormat format, const Layout& layout, const std::vector<Page>& pages,
                std::ostream& out, WriterResources* resources) {
  const std::unique_ptr<PageWriter> writer = MakePageWriter(format, layout, out, resources);
  const int count = static_cast<int>(pages.size());
  for (const Page& page : pages) {
    if (HoldsMarker(page)) {
      writer->Draw(WithPageCount(layout, page, count));
    } else {
      writer->Draw(page);
    }
  }
  writer->Finish();
}

}  // namespace nrw
