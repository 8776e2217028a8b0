#include "cartography/printing/print_tool.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "platform/clock.h"
#include "platform/forms.h"
#include "render/devices/bitmap_device.h"
#include "render/interprets/interpret_script.h"
#include "render/interprets/script_creator.h"
#include "render/interprets/universal_interpret.h"
#include "render/tool_forms/form_tool_manager.h"
#include "spatial/geometry/page.h"
#include "spatial/geometry/projection.h"
#include "tests/cartography/printing/printing_fixture.h"
#include "tests/platform/file_size_limit.h"
#include "tests/platform/pdf_info.h"
#include "tests/render/drawing_fixture.h"

namespace {

constexpr int kDpi = 150;
// 168 x 120 points (the PDF counts its pages in whole points): 350 x 250
// pixels at 150 dots per inch.
constexpr int kPageWidthPixels = 350, kPageHeightPixels = 250;
constexpr double kPaperWidth = 168 / 72.0 * 0.0254, kPaperHeight = 120 / 72.0 * 0.0254;

// The owner of the window's interpret: it notes the codes it gets and, at
// the end of the run, how many pages the PDF holds then.
class TWindowOwner : public TCodeRecorder {
 public:
  std::string pdf;
  int pagesAtDone = -1;
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override {
    if (message->Message == msgPrintDone) pagesAtDone = ReadPdfInfo(pdf).Pages;
    TCodeRecorder::ReceiveMessage(message, handled);
  }
};

std::unique_ptr<TInterpretScript> NewScript() {
  TUniversalLumarScriptCreator creator;
  creator.DoIt();
  return std::unique_ptr<TInterpretScript>(DynamicCast<TInterpretScript>(creator.Output()));
}

// Page n of the PDF as pdftoppm draws it, without smoothing.
PpmPicture PdfPage(const std::string& pdf, int n, const std::string& stem) {
  const std::string command = "pdftoppm -r " + std::to_string(kDpi) + " -aa no -aaVector no -f " + std::to_string(n) +
                              " -l " + std::to_string(n) + " -singlefile '" + pdf + "' '" + stem + "'";
  if (std::system(command.c_str()) != 0) return {};
  return ReadPpm(stem + ".ppm");
}

// The end of each sheet's walk, then the end of the run.
std::vector<int> PageWalksThenDone(std::size_t pages) {
  std::vector<int> codes(pages, msgFinished);
  codes.push_back(msgPrintDone);
  return codes;
}

class PrintTest : public PrintingTest {
 protected:
  void SetUp() override {
    PrintingTest::SetUp();
    platform::SetPrintPaperSize({kPaperWidth * 1000, kPaperHeight * 1000});
    platform::SetPrintResolution(kDpi);
    owner.pdf = Pdf();
    screen = MakeBitmapDevice(100, 80).release();
    // The window holds its device too: a run may take it from the interpret.
    owner.AddElement(screen);
    screen->Projection()->Calculate({0.05, 0.03}, screen->Page(), 1);
    interpret = CreateElement<TUniversalInterpret>();
    interpret->SetScript(NewScript().release());
    interpret->SetDevice(screen);
    owner.AddElement(interpret);
    model = CreateElement<TRectEntity>();
    model->SetName("Obálka");
    owner.AddElement(model);
    interpret->SetInput(model);
  }
  void TearDown() override {
    if (dialog) {
      platform::UserClick(*dialog, "CancelBtn");
      RunMessages();
    }
    owner.Clear();
    PrintingTest::TearDown();
  }
  // Runs a print with the person's answer in the dialog; the dialog stays
  // open, as after a real print.
  void Print(std::function<void(platform::Form&)> person = [](platform::Form& form) {
    platform::UserClick(form, "OKBtn");
  }) {
    platform::SetModalAnswerer([this, person](platform::Form& form) {
      dialog = &form;
      person(form);
    });
    auto* print = DynamicCast<TTool>(CreateElementByClassName("TPrint"));
    ASSERT_NE(print, nullptr);
    print->SetInput(interpret);
    print->DoIt();
    TElement* freed = print;
    FreeAndNil(freed);
    RunMessages();
  }
  // The input drawn through a bitmap device at 150 dpi on the printer's
  // page, centred on (x, y) at the scale.
  std::unique_ptr<platform::Bitmap> Drawn(TElement* input, double x, double y, double scale, int width, int height) {
    TBitmapDevice device;
    device.SetOwnsBitmap(false);
    auto bitmap = platform::Bitmap::Create(width, height);
    device.SetBitmap(bitmap.get());
    device.Page()->SetResolution(kDpi * 1000 / 25.4, kDpi * 1000 / 25.4);
    device.Page()->SetColor(0xFFFFFF);
    device.Projection()->Calculate({x, y}, device.Page(), scale);
    TUniversalInterpret reference;
    reference.SetScript(NewScript().release());
    reference.SetDevice(&device);
    reference.SetInput(input);
    reference.DoIt();
    reference.SetDevice(nullptr);
    device.SetBitmap(nullptr);
    return bitmap;
  }
  // The pixels where page n of the PDF and the picture differ, as text.
  std::string Differences(int n, const platform::Bitmap& expected) {
    const PpmPicture page = PdfPage(Pdf(), n, folder.File("page" + std::to_string(n)));
    if (page.Width < expected.Width() || page.Height < expected.Height()) return "page " + std::to_string(n) + " missing";
    int wrong = 0;
    std::string first;
    for (int y = 0; y < expected.Height(); ++y)
      for (int x = 0; x < expected.Width(); ++x)
        if (page.At(x, y) != const_cast<platform::Bitmap&>(expected).GetCanvas().Pixel(x, y) && wrong++ == 0)
          first = " first at (" + std::to_string(x) + "," + std::to_string(y) + ")";
    return wrong == 0 ? "" : std::to_string(wrong) + " pixels differ" + first;
  }

  TWindowOwner owner;
  TBitmapDevice* screen = nullptr;
  TUniversalInterpret* interpret = nullptr;
  TRectEntity* model = nullptr;
  platform::Form* dialog = nullptr;
};

TEST_F(PrintTest, ADesktopPrintsPageByPageEachAsTheBitmapDeviceDrawsIt) {
  struct Case {
    const char* name;
    bool tile;
  };
  const Case cases[] = {{"drawn straight", false}, {"drawn in bitmap bands", true}};
  // Two pages across and two up, centred on the desktop.
  TDesktop* desktop = MakeDesktop({0, 0, 0.1, 0.06});
  model->AddEntity(desktop);
  for (const Case& test : cases) {
    owner.codes.clear();
    owner.pagesAtDone = -1;
    interpret->Tile = test.tile;
    Print();
    // Each page's walk reports its end; the run's end comes after the PDF is complete.
    EXPECT_EQ(std::tuple(owner.codes, owner.pagesAtDone),
              std::tuple(std::vector<int>{msgFinished, msgFinished, msgFinished, msgFinished, msgPrintDone}, 4))
        << test.name;
    const PdfInfo info = ReadPdfInfo(Pdf());
    EXPECT_EQ(std::tuple(info.Pages, info.Title), std::tuple(4, std::string("KESTU KARTIR"))) << test.name;
    const double left = 0.05 - kPaperWidth, bottom = 0.03 - kPaperHeight;
    const double centres[4][2] = {{left + kPaperWidth / 2, bottom + kPaperHeight / 2},
                                  {left + kPaperWidth * 1.5, bottom + kPaperHeight / 2},
                                  {left + kPaperWidth / 2, bottom + kPaperHeight * 1.5},
                                  {left + kPaperWidth * 1.5, bottom + kPaperHeight * 1.5}};
    for (int n = 1; n <= 4; ++n)
      EXPECT_EQ(Differences(n, *Drawn(model, centres[n - 1][0], centres[n - 1][1], 1, kPageWidthPixels, kPageHeightPixels)), "")
          << test.name << ", page " << n;
    EXPECT_EQ(interpret->Device(), screen) << test.name;
    EXPECT_FALSE(interpret->Printing) << test.name;
    platform::UserClick(*dialog, "CancelBtn");
    RunMessages();
    dialog = nullptr;
  }
}

// A scale typed into the dialog lays the pages that many sheet units a unit
// of paper and draws each page at it.  The desktop is 0.1 x 0.06: at 2 one
// page takes it whole; at 1.5 two pages across, centred on the desktop.
TEST_F(PrintTest, AScaleTypedInTheDialogLaysAndDrawsThePagesAtIt) {
  struct Case {
    const char* name;
    const char* scale;
    double value;
    std::vector<double> centresX;  // of the pages, all at Y 0.03
  };
  const double stepAt15 = kPaperWidth * 1.5;
  const Case cases[] = {
      {"2: one page", "2", 2, {0.05}},
      {"1.5: two pages across", "1.5", 1.5, {0.05 - stepAt15 / 2, 0.05 + stepAt15 / 2}},
  };
  model->AddEntity(MakeDesktop({0, 0, 0.1, 0.06}));
  for (const Case& test : cases) {
    Print([&](platform::Form& form) {
      form.SetText("ed_Scale", test.scale);
      platform::UserExit(form, "ed_Scale");
      RunMessages();
      platform::UserClick(form, "OKBtn");
    });
    const int pages = static_cast<int>(test.centresX.size());
    EXPECT_EQ(ReadPdfInfo(Pdf()).Pages, pages) << test.name;
    for (int n = 1; n <= pages; ++n)
      EXPECT_EQ(Differences(n, *Drawn(model, test.centresX[static_cast<std::size_t>(n - 1)], 0.03, test.value,
                                      kPageWidthPixels, kPageHeightPixels)),
                "")
          << test.name << ", page " << n;
    platform::UserClick(*dialog, "CancelBtn");
    RunMessages();
    dialog = nullptr;
  }
}

TEST_F(PrintTest, AGraphicWindowPrintsItsDesktopOnItsPrintMessage) {
  TCodeRecorder windowOwner;
  auto* manager = CreateElement<TFormToolManager>();
  windowOwner.AddElement(manager);
  manager->SetInterpretScript(NewScript().release());
  manager->SetInput(MakeDesktop({0, 0, 0.05, 0.03}));
  platform::SetModalAnswerer([this](platform::Form& form) {
    dialog = &form;
    platform::UserClick(form, "OKBtn");
  });
  PostKestuMessage(new TKestuMessage(msgPrint, manager, manager, nullptr, false));
  RunMessages();
  EXPECT_EQ(ReadPdfInfo(Pdf()).Pages, 1);
  EXPECT_NE(dialog, nullptr);
  platform::UserClick(*dialog, "CancelBtn");
  RunMessages();
  dialog = nullptr;
  windowOwner.Clear();
}

// A redraw or a close of the window asked while it prints would draw the
// window onto the printed page, or free the interpret the run prints with:
// both wait for the end of the run.
TEST_F(PrintTest, AWindowRedrawnOrClosedWhileItPrintsWaitsForTheEndOfTheRun) {
  TCodeRecorder windowOwner;
  auto* manager = CreateElement<TFormToolManager>();
  windowOwner.AddElement(manager);
  manager->SetInterpretScript(NewScript().release());
  manager->SetInput(MakeDesktop({0, 0, 0.05, 0.03}));
  manager->SetScale(40);
  platform::SetTickSource([] {
    static std::uint64_t now = 0;
    return now += 1000;
  });
  bool pendingWhilePrinting = false;
  platform::SetModalAnswerer([&](platform::Form& form) {
    dialog = &form;
    platform::UserClick(form, "OKBtn");
    platform::Application::Instance().Invoke([&] {
      PostKestuMessage(new TKestuMessage(msgReView, manager, manager, nullptr, false));
      manager->Close();
      pendingWhilePrinting = manager->ClosePending() && manager->Form() != nullptr;
    });
  });
  PostKestuMessage(new TKestuMessage(msgPrint, manager, manager, nullptr, false));
  RunMessages();
  platform::SetTickSource(nullptr);
  EXPECT_TRUE(pendingWhilePrinting);
  EXPECT_EQ(std::tuple(manager->ClosePending(), manager->Form()), std::tuple(false, nullptr));
  EXPECT_EQ(Differences(1, *Drawn(manager->Input(), 0.025, 0.015, 1, kPageWidthPixels, kPageHeightPixels)), "");
  platform::UserClick(*dialog, "CancelBtn");
  RunMessages();
  dialog = nullptr;
  windowOwner.Clear();
}

// The run ends with msgPrintDone to the interpret's owners, also when
// nothing could be printed; only a run that never starts posts nothing.
TEST_F(PrintTest, EveryRunThatStartsEndsWithItsMessageAndTheBoxesOfWhatWentWrong) {
  struct Case {
    const char* name;
    std::function<void()> arrange;
    std::function<void(platform::Form&)> person;
    std::vector<std::string> boxes;
    std::vector<int> codes;
    int pages;  // -1: no PDF file
    bool device = true;
  };
  const std::string unwritable = folder.File("no folder/tisk.pdf");
  const std::string kNothingToPrint =
      "Není co tisknout: tiskne se jen pracovní plocha (TDesktop, TMultiPageDesktop) a zobrazení žádnou nemá";
  const Case cases[] = {
      {"a model without a desktop prints nothing, and says why", [] {}, nullptr, {kNothingToPrint}, {msgPrintDone}, -1},
      {"a multi-page desktop without a sheet prints nothing", [&] { model->AddEntity(new TMultiPageDesktop); },
       nullptr, {kNothingToPrint}, {msgPrintDone}, -1},
      {"a desktop cancelled in the dialog prints nothing", [&] { model->AddEntity(MakeDesktop({0, 0, 0.1, 0.06})); },
       [](platform::Form& form) { platform::UserClick(form, "CancelBtn"); }, {}, {msgPrintDone}, -1},
      {"a print file that cannot be written", [&] { platform::SetPrintFileName(unwritable); }, nullptr,
       {"Problémy s přípravou tisku: Soubor tisku " + unwritable + " nelze zapsat"}, {msgPrintDone}, -1},
      {"an interpret without a device", [&] { interpret->SetDevice(nullptr); }, nullptr,
       {"Není nastaveno zařízení interpretru"}, {}, -1, false},
  };
  for (const Case& test : cases) {
    model->Clear();
    interpret->SetDevice(screen);
    platform::SetPrintFileName(Pdf());
    std::filesystem::remove(Pdf());
    dialogs.Messages.clear();
    owner.codes.clear();
    test.arrange();
    Print(test.person ? test.person : [](platform::Form& form) { platform::UserClick(form, "OKBtn"); });
    EXPECT_EQ(std::tuple(Boxes(), owner.codes), std::tuple(test.boxes, test.codes)) << test.name;
    EXPECT_EQ(std::filesystem::exists(Pdf()) ? ReadPdfInfo(Pdf()).Pages : -1, test.pages) << test.name;
    EXPECT_EQ(std::tuple(interpret->Device(), interpret->Printing), std::tuple(test.device ? screen : nullptr, false))
        << test.name;
    if (test.pages == 1) {
      EXPECT_EQ(Differences(1, *Drawn(nullptr, 0, 0, 1, kPageWidthPixels, kPageHeightPixels)), "") << test.name;
    }
    dialog = nullptr;
  }
}

// A print whose file the disk does not take whole is the print tool's error,
// shown, logged and counted against the program's run; its file is gone.
TEST_F(PrintTest, APrintTheDiskDoesNotTakeWholeFailsItsToolAndSaysSoOnce) {
  TLineRecorder log;
  MainTool = &log;
  model->AddEntity(MakeDesktop({0, 0, 0.05, 0.03}));
  const int failedBefore = world->FailedWork(TFailedWork::Print);
  Press("OKBtn");
  std::unique_ptr<TTool> print(DynamicCast<TTool>(CreateElementByClassName("TPrint")));
  ASSERT_NE(print, nullptr);
  print->SetInput(interpret);
  {
    // Fewer bytes than the smallest document takes.
    const FileSizeLimit full(1000);
    print->DoIt();
  }
  RunMessages();
  const std::string shown = "Problémy s tiskem: Soubor tisku " + Pdf() + " se nepodařilo zapsat: ";
  ASSERT_EQ(Boxes().size(), 1u) << Join(Boxes(), " | ");
  EXPECT_EQ(Boxes()[0].rfind(shown, 0), 0u) << Boxes()[0];
  EXPECT_EQ(log.lines, Boxes());
  EXPECT_EQ(std::tuple(print->Error, world->FailedWork(TFailedWork::Print), std::filesystem::exists(Pdf())),
            std::tuple(1, failedBefore + 1, false));
  EXPECT_EQ(owner.codes, PageWalksThenDone(1));
  MainTool = &mainTool;
}

// A print asked for while the dialog's run prints, as a second click on the
// window's print item would.
TEST_F(PrintTest, ASecondPrintWhileTheFirstPrintsIsRefused) {
  model->AddEntity(MakeDesktop({0, 0, 0.05, 0.03}));
  platform::SetTickSource([] {
    static std::uint64_t now = 0;
    return now += 1000;
  });
  Print([this](platform::Form& form) {
    platform::UserClick(form, "OKBtn");
    platform::Application::Instance().Invoke([this] {
      auto* second = DynamicCast<TTool>(CreateElementByClassName("TPrint"));
      second->SetInput(interpret);
      second->DoIt();
      TElement* freed = second;
      FreeAndNil(freed);
    });
  });
  platform::SetTickSource(nullptr);
  EXPECT_EQ(std::tuple(Boxes(), owner.codes, owner.pagesAtDone),
            std::tuple(std::vector<std::string>{"Dosud se tiskne"}, PageWalksThenDone(1), 1));
}

class MultiPagePrintTest : public PrintTest {
 protected:
  void SetUp() override {
    PrintTest::SetUp();
    sheets = CreateElement<TMultiPageDesktop>();
    for (int i = 0; i < 3; ++i)
      sheets->AddEntity(MakeDesktop({i * kPaperWidth, 0, (i + 1) * kPaperWidth, kPaperHeight}));
    model->AddEntity(sheets);
  }
  // What the person does: prints the sheets listed, or all without a list.
  void PrintSheets(const std::string& list, bool cancelWhilePrinting = false) {
    Print([list, cancelWhilePrinting](platform::Form& form) {
      if (!list.empty()) {
        platform::UserClick(form, "r_Pages");
        form.SetText("ed_Pages", list);
      }
      platform::UserClick(form, "OKBtn");
      // The first look at the queue while the first sheet prints.
      if (cancelWhilePrinting)
        platform::Application::Instance().Invoke([&form] { platform::UserClick(form, "CancelBtn"); });
    });
  }
  TMultiPageDesktop* sheets = nullptr;
};

TEST_F(MultiPagePrintTest, TheListedSheetsPrintEachOnAPageOfItsOwnAndNoBlankPageFollows) {
  struct Case {
    const char* name;
    const char* list;
    std::vector<int> printed;
    const char* caption;
  };
  const Case cases[] = {
      {"all sheets", "", {1, 2, 3}, "Tisk strany č. 3 (3)"},
      {"sheets 1 and 3", "1,3", {1, 3}, "Tisk strany č. 3 (3)"},
      {"sheets 1 and 2: the last skipped", " 2 , 1", {1, 2}, "Tisk strany č. 2 (3)"},
  };
  for (const Case& test : cases) {
    owner.codes.clear();
    PrintSheets(test.list);
    EXPECT_EQ(std::tuple(owner.codes, owner.pagesAtDone, dialog->Caption()),
              std::tuple(PageWalksThenDone(test.printed.size()), int(test.printed.size()), std::string(test.caption)))
        << test.name;
    for (std::size_t n = 0; n < test.printed.size(); ++n) {
      auto* sheet = static_cast<TRectEntity*>(sheets->PageByIndex(test.printed[n] - 1));
      EXPECT_EQ(Differences(int(n) + 1, *Drawn(sheet, sheet->GetCenterX(), sheet->GetCenterY(), 1, kPageWidthPixels, kPageHeightPixels)), "")
          << test.name << ", sheet " << test.printed[n];
    }
    EXPECT_EQ(interpret->Input(), model) << test.name;
    platform::UserClick(*dialog, "CancelBtn");
    RunMessages();
    dialog = nullptr;
  }
}

TEST_F(MultiPagePrintTest, ABrokenListOrACancelWhilePrintingAbortsTheJob) {
  struct Case {
    const char* name;
    const char* list;
    bool cancel;
    std::vector<std::string> boxes;
    std::vector<int> codes;
  };
  const Case cases[] = {
      {"a list with a part that is no number", "1,x", false, {"Problémy s tiskem: 'x' is not a valid integer value"},
       {msgPrintDone}},
      {"a list that names no sheet", "7", false, {"Není co tisknout: žádná z vybraných stránek neexistuje"},
       {msgPrintDone}},
      {"cancelled while the first sheet prints", "", true, {}, {msgFinished, msgPrintDone}},
  };
  platform::SetTickSource([] {
    static std::uint64_t now = 0;
    return now += 1000;
  });
  for (const Case& test : cases) {
    dialogs.Messages.clear();
    owner.codes.clear();
    PrintSheets(test.list, test.cancel);
    dialog = nullptr;
    EXPECT_EQ(std::tuple(Boxes(), owner.codes, std::filesystem::exists(Pdf())),
              std::tuple(test.boxes, test.codes, false))
        << test.name;
    EXPECT_EQ(interpret->Input(), model) << test.name;
  }
  platform::SetTickSource(nullptr);
}

// A scale so small that a page steps no way at all lays no page to print
// the sheets or the desktop on: nothing is drawn, no file is written (not
// even a blank page), the person is told, and the run ends as any other.
// (0.059 m of paper times 1e-323 is no double above zero.)
TEST_F(MultiPagePrintTest, AScaleThatLaysNoPagePrintsNothingAndSaysSo) {
  const struct {
    const char* name;
    bool desktop;
  } rows[] = {{"the sheets of a multi-page desktop", false}, {"a desktop", true}};
  const std::vector<std::string> said{"Není co tisknout: při zadaném měřítku nelze rozložit žádnou stránku"};
  for (const auto& row : rows) {
    if (row.desktop) {
      model->Clear();
      model->AddEntity(MakeDesktop({0, 0, 0.1, 0.06}));
    }
    dialogs.Messages.clear();
    owner.codes.clear();
    Print([](platform::Form& form) {
      form.SetText("ed_Scale", "1e-323");
      platform::UserExit(form, "ed_Scale");
      RunMessages();
      platform::UserClick(form, "OKBtn");
    });
    RunMessages();
    EXPECT_EQ(std::tuple(Boxes(), owner.codes, interpret->Input(), std::filesystem::exists(Pdf())),
              std::tuple(said, std::vector<int>{msgPrintDone}, static_cast<TElement*>(model), false))
        << row.name;
    dialog = nullptr;
  }
}

// The dialog shows when the printing started, taken as the first page goes
// out, for a desktop as for the sheets of a multi-page desktop.  At 9:41:05
// on any day.
TEST_F(MultiPagePrintTest, TheDialogShowsTheTimeThePrintingStarted) {
  const double started = 46363 + (9 * 3600 + 41 * 60 + 5) / 86400.0;
  platform::SetNowSource([started] { return started; });
  const std::pair<const char*, bool> cases[] = {{"the sheets of a multi-page desktop", false}, {"a desktop", true}};
  for (const auto& [name, desktop] : cases) {
    if (desktop) model->AddEntity(MakeDesktop({0, 0, 0.05, 0.03}));
    Print();
    EXPECT_NE(dialog, nullptr) << name;
    if (!dialog) break;
    EXPECT_EQ(dialog->Text("lbStart"), "9:41:05") << name;
    platform::UserClick(*dialog, "CancelBtn");
    RunMessages();
    dialog = nullptr;
  }
  platform::SetNowSource(nullptr);
}

}  // namespace
