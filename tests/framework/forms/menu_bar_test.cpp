#include "framework/forms/menu_bar.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Buttons = std::vector<std::string>;

// The bar shows the top-level items of the menu it was given last; given the
// same menu again it leaves the bar as it is, whatever happened to it since.
TEST(MenuBarTest, AnotherMenuReplacesTheButtonsAndTheSameMenuLeavesThem) {
  platform::Form form("TTestMenuForm");
  platform::Menu& main = form.MainMenu("MainMenu1");
  platform::Menu& other = form.MainMenu("OtherMenu");
  form.ShowMenuOnToolBar("MenuBar", &other);  // the bar becomes the menu bar's alone, emptied
  TMenuBar bar(form, "MenuBar");
  const Buttons top = {"&Soubor", "&Zobrazení", "Konec"};
  const Buttons okna = {"Okna"};
  const struct {
    const char* name;
    platform::Menu* menu;
    bool barShowsOtherMeanwhile;  // the tool bar was given another menu behind the menu bar's back
    Buttons buttons;
  } steps[] = {
      {"none at first", nullptr, false, {}},
      {"the main menu", &main, false, top},
      {"the same again", &main, true, okna},
      {"another", &other, false, okna},
      {"the main menu once more", &main, false, top},
      {"none", nullptr, false, {}},
  };
  for (const auto& step : steps) {
    if (step.barShowsOtherMeanwhile) form.ShowMenuOnToolBar("MenuBar", &other);
    bar.SetMenu(step.menu);
    EXPECT_EQ(form.Items("MenuBar"), step.buttons) << step.name;
    EXPECT_EQ(bar.Menu(), step.menu) << step.name;
  }
}

}  // namespace
