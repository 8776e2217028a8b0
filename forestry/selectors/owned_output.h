#pragma once
// The entity a selecting tool gathers its finds into.
class TEntity;
class TTool;

// The tool's Output as an entity; a new entity owned by the tool when it has
// no Output, nil when its Output is no entity.
TEntity* OwnedOutputEntity(TTool& tool);
