// The record of a block element in its table, found through the element's
// props: the props read their fields through the table, so the table's own
// unit knows nothing of props and this look-up lives above both.
#include "block/props/lumar_props.h"
#include "block/tables/lumar_dbf_table.h"
#include "spatial/objects/space_entities.h"

bool TLumarDBFTable::FindElementRecord(const TElement* Element) {
  const auto* entity = DynamicCast<TSpaceEntity>(Element);
  const auto* props = entity ? DynamicCast<TLumarProps>(entity->Properties()) : nullptr;
  return props && Locate(props->GetDBFName(), props->Cislo);
}
