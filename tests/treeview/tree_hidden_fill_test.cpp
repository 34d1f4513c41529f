// A grid filled on a page that has never been shown (the program fills the
// page of another browser before the user switches to it): once the page
// shows, its rows and its scroll bar are there without any further input.
// ctest: desktop
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/controls_fixture.h"
#include "platform/ui/comctrls.h"
#include "tree_fixture.h"
#include "treeview/eltree_window.h"

namespace morvane {
namespace {

using TreeHiddenFill = test::ControlsTest;

TEST_F(TreeHiddenFill, RowsFilledBeforeThePageShowsAreLaidOutWhenItDoes) {
  // As the program's browser pages: a page control whose second sheet holds
  // the grid, filled while the first sheet is the one shown.
  auto* pages = new TPageControl(form.get());
  pages->SetParent(form.get());
  pages->SetBounds(0, 0, 400, 220);
  auto* first = new TTabSheet(form.get());
  first->SetPageControl(pages);
  auto* page = new TTabSheet(form.get());
  page->SetPageControl(pages);
  pages->SetActivePage(first);
  Application->ProcessMessages();
  auto* grid = new TElTreeWindow(form.get());
  grid->SetParent(page);
  grid->SetAlign(TAlign::alClient);
  TElHeaderSection* s = grid->Tree().HeaderSections().AddSection();
  s->SetText(L"Name");
  s->SetWidth(200);
  grid->Tree().SetShowColumns(true);
  std::vector<std::string> rows;
  for (int i = 0; i < 60; ++i) rows.push_back("row" + std::to_string(i));
  test::Load(grid->Tree(), rows);
  Application->ProcessMessages();

  pages->SetActivePage(page);
  Application->ProcessMessages();
  ASSERT_TRUE(grid->View()->HandleAllocated());
  EXPECT_TRUE(grid->VScrollBar()->Visible()) << "60 rows do not fit: the bar shows";

  // The first row's text is painted: its band holds pixels other than the background.
  TDibSection dib(grid->View()->Width(), grid->View()->Height());
  PaintInto(grid->View(), dib);
  const COLORREF back = dib.Pixel(dib.Width() - 2, 2);
  int ink = 0;
  for (int y = 0; y < grid->Tree().LineHeight(); ++y)
    for (int x = 0; x < 150; ++x) ink += dib.Pixel(x, y) != back;
  EXPECT_GT(ink, 10) << "the first row is drawn";
}

}  // namespace
}  // namespace morvane
