#include "block/export/point_export.h"

#include <memory>

#include "block/writing/lumar_writers.h"
#include "framework/core/class_registry.h"
#include "platform/dialogs.h"
#include "spatial/objects/space_entities.h"
#include "spatial/sheets/coordinate_systems.h"

void TExportPointsToLumar::DoIt() {
  TTool::DoIt();
  if (!DynamicCast<TEntity>(Input()) || BlockName().empty()) return;
  platform::WaitCursor hourglass;
  ExportBlock([this] { ExportPoints(); });
}

void TExportPointsToLumar::ExportPoints() {
  auto* input = DynamicCast<TEntity>(Input());
  if (!input) return;
  std::unique_ptr<TJTSK> wcs(CreateElement<TJTSK>());
  std::unique_ptr<TLumarPointWriter> writer = NewBlockWriter<TLumarPointWriter>(WriteFolder(), true, wcs.get());
  TExportProgress progress("Export bodu do " + BlockName(), input->GetCount(), "Přerušit export bodu ?");
  for (int i = 0; i < input->GetCount(); ++i) {
    if (!progress.Next(i)) break;
    auto* point = DynamicCast<TPointElement>(input->GetElement(i));
    if (!point) continue;
    point->ID = i + 1;
    DoExportObject(point);
    writer->WritePoint(*point);
    ExportAttributes(point);
  }
  writer->Finish();
}

TClass TExportPointsToLumar::StaticClass() {
  static const TClassInfo info = DescribeClass<TExportPointsToLumar>(
      "TExportPointsToLumar", TExportLumarElements::StaticClass(), "T_LumExp", {});
  return &info;
}
