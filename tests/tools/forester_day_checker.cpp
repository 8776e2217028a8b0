// Reads back with the block reader the block the sample forester's day
// exports and checks every harvest area in it: forester_day_checker <block>.
// Each line on the standard error names an area that is missing or wrong;
// the exit status is 0 only when every harvest is there once, as expected.
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>

#include "block/block_classes.h"
#include "block/reading/block_reader.h"
#include "framework/tools/world.h"
#include "platform/gauge_form.h"
#include "spatial/objects/space_entities.h"
#include "spatial/sheets/coordinate_systems.h"
#include "tests/forestry/forester_day_harvests.h"
#include "tests/forestry/sample_forest_blocks.h"

namespace {

// The keys and urgency of the area's attribute record, "|"-joined.
std::string KeysOf(const TAreaElement& area) {
  std::string keys;
  for (const char* name : {"LHC", "ODDELENI", "DILEC", "POROST", "SKUPINA", "NALEHAV"})
    keys += (keys.empty() ? "" : "|") + area.GetPropertyText(name);
  return keys;
}

int Check(const std::string& block) {
  TLumaRBlokReader reader;
  reader.Create(block);
  std::unique_ptr<TAreaString> areas(reader.ReadAreas());
  if (!areas) {
    std::cerr << block << ": no areas read\n";
    return 1;
  }
  int faults = 0;
  const auto fault = [&faults](const std::string& text) {
    std::cerr << text << "\n";
    ++faults;
  };
  if (areas->GetCount() != static_cast<int>(std::size(kDayHarvests)))
    fault(block + ": " + std::to_string(areas->GetCount()) + " areas instead of " +
          std::to_string(std::size(kDayHarvests)));
  const double half = kDayHarvestSide / 2;
  for (const DayHarvest& harvest : kDayHarvests) {
    const std::string where = "harvest at " + std::to_string(harvest.X) + "," + std::to_string(harvest.Y);
    const double x = harvest.X + kSampleForestOrigin, y = harvest.Y + kSampleForestOrigin;
    int found = 0;
    for (TElement* child : areas->Children()) {
      const auto& area = *static_cast<TAreaElement*>(child);
      if (std::fabs(area.GetCenterX() - x) >= 1 || std::fabs(area.GetCenterY() - y) >= 1) continue;
      ++found;
      // The outline: the square, one corner moved by 40 cm at most.
      for (const auto& [got, wanted] : {std::pair{area.GetMinX(), x - half}, {area.GetMaxX(), x + half},
                                        {area.GetMinY(), y - half}, {area.GetMaxY(), y + half}})
        if (std::fabs(got - wanted) > kDayCornerMove) fault(where + ": bounds " + std::to_string(got));
      if (std::fabs(std::fabs(area.GetCalculatedArea()) - kDayHarvestSide * kDayHarvestSide) > kDayAreaTolerance)
        fault(where + ": area " + std::to_string(area.GetCalculatedArea()));
      if (const std::string keys = KeysOf(area); keys != harvest.Keys) fault(where + ": keys " + keys);
      // The table's area is the outline's, written with a decimal point.
      const std::string stored = area.GetPropertyText("PLOCHA");
      if (std::fabs(std::strtod(stored.c_str(), nullptr) - std::fabs(area.GetCalculatedArea())) > 0.01)
        fault(where + ": PLOCHA " + stored);
    }
    if (found != 1) fault(where + ": found " + std::to_string(found) + " times");
  }
  return faults == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: forester_day_checker <block>\n";
    return 2;
  }
  RegisterBlockClasses();
  platform::SetGaugeFormFactory([] { return std::make_unique<platform::RecordingGaugeForm>(); });
  auto world = std::make_unique<TWCSWorld>();
  SetWorld(world.get());
  const int status = Check(argv[1]);
  SetWorld(nullptr);
  platform::SetGaugeFormFactory(nullptr);
  return status;
}
