#include "block/export/export_tools.h"

#include "tests/block/export/export_fixture.h"

namespace {

using ::testing::ElementsAre;

// Points at (i, 10 (i + 1)) exported to a text file as ID and -Y.
class ExportToTextTest : public ExportTest {
 protected:
  std::string Export(int count, const std::string& fileName) {
    auto* points = Named<TPointString>("", &model);
    for (int i = 0; i < count; ++i)
      Named<TPointElement>("", points)->SetBounds({double(i), 10.0 * (i + 1), double(i), 10.0 * (i + 1)});
    std::unique_ptr<TElement> tool(CreateElementByClassName("TExportElementsToText"));
    SetTexts(*tool,
             {{"FileName", fileName.c_str()}, {"NextPropName", "ID"}, {"NextPropName", "-Y"}, {"Delimiter", ";"}});
    static_cast<TTool*>(tool.get())->SetInput(points);
    static_cast<TTool*>(tool.get())->DoIt();
    const Bytes written = FileContent(fileName);
    return {written.begin(), written.end()};
  }
};

TEST_F(ExportToTextTest, EachChildIsOneLineOfTheNamedPropertiesUntilTheUserConfirmsAStop) {
  const struct {
    const char* name;
    std::deque<bool> answers;
    int closeRequestAt;
    const char* text;
  } cases[] = {{"no request", {}, -1, "0;-10\r\n1;-20\r\n2;-30\r\n"},
               {"cancelled: the export goes on", {false}, 0, "0;-10\r\n1;-20\r\n2;-30\r\n"},
               {"confirmed: the export stops before the object", {true}, 0, "0;-10\r\n"}};
  for (const auto& c : cases) {
    answers = c.answers;
    closeRequestAt = c.closeRequestAt;
    EXPECT_EQ(Export(3, File("body.txt")), c.text) << c.name;
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "ConfirmAbort=Přerušit export bodů ?"), c.closeRequestAt + 1)
        << c.name;
  }
  EXPECT_THAT(std::vector<std::string>(calls.begin(), calls.begin() + 4),
              ElementsAre("MaxValue=3", "Caption=Export bodů do " + File("body.txt"), "Show", "Progress=0"));
  // A file that cannot be made is reported and nothing runs.
  calls.clear();
  Export(2, File("missing/body.txt"));
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_THAT(Boxes()[0], ::testing::HasSubstr("missing/body.txt"));
  EXPECT_TRUE(calls.empty());
}

}  // namespace
