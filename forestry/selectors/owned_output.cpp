#include "forestry/selectors/owned_output.h"

#include "framework/tools/tools.h"

TEntity* OwnedOutputEntity(TTool& tool) {
  if (!tool.Output()) {
    auto* gathered = new TOwnerEntity;
    tool.AddElement(gathered);
    tool.SetOutput(gathered);
  }
  return DynamicCast<TEntity>(tool.Output());
}
