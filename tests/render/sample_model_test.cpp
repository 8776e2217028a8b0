#include "tests/render/sample_model.h"

#include <fstream>
#include <iterator>
#include <memory>

#include "framework/stream/kes_loader.h"
#include "tests/render/render_fixture.h"

namespace {

std::string FileContent(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

using SampleModelTest = RenderTest;

TEST_F(SampleModelTest, TheSampleModelIsWhatItsWriterMakesAndLoadsBackWhole) {
  TempFolder folder;
  const std::string written = folder.File("model.kes");
  WriteSampleRenderModel(written);
  const std::string sample = std::string(KESTX_SAMPLES_DIR) + "/render/model.kes";
  EXPECT_EQ(FileContent(written), FileContent(sample));
  TLoad load;
  load.FileName = sample;
  load.DoIt();
  std::unique_ptr<TElement> loaded(load.Output());
  auto* model = DynamicCast<TEntity>(loaded.get());
  ASSERT_TRUE(model);
  std::vector<std::string> children;
  for (TElement* child : model->Children()) children.push_back(child->ClassName() + ":" + child->GetName());
  EXPECT_EQ(Join(children), "TPolyLineString:LINES TAreaString:AREAS TPointString:POINTS TNode:Uzel "
                            "TSelectedElement:Vyber TSMO_10:Kutna-Hora-1-1 TSMO_5:Kutna-Hora-1-1-1 TMapsZM:ZM");
}

}  // namespace
