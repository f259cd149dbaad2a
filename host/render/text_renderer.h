// Draws printed pages on the layout's character grid (text_grid): one character per column_mm,
// one line per row_mm, from the body's top-left corner. Texts are wrapped and aligned within their
// width as the section's flow lays them out (section_flow.h), never cut; lines are runs of '-' (or
// '|'), boxes use '+', '-' and '|'. Pages are separated by a form feed.
#pragma once

#include <ostream>
#include <vector>

#include "report/layout.h"
#include "report/page_model.h"

namespace nrw {

void RenderTextPage(const Layout& layout, const Page& page, std::ostream& out);
//! Every page, streaming: one page's grid at a time.
void RenderText(const Layout& layout, const std::vector<Page>& pages, std::ostream& out);

}  // namespace nrw
