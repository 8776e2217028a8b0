#pragma once
// Models built from model scripts: every layer's blocks, rasters and
// elements read into layers of a new rectangle entity, and the dynamic model
// that keeps one such model at a time, one per data folder.
#include <cstdint>
#include <string>
#include <vector>

#include "framework/tools/tools.h"
#include "spatial/geometry/geometry_types.h"

class TLayerScript;
class TRectEntity;

class TModelByScriptCreator : public TTool {
  KESTX_CLASS(TModelByScriptCreator)
 public:
  // The extent to read; it counts only when all four are non-zero.
  double MinX = 0;
  double MinY = 0;
  double MaxX = 0;
  double MaxY = 0;
  bool CutLayer = false;
  TMethod OnNewObject;

  void SetDeltaX(double value);
  void SetDeltaY(double value);
  void SetWidth(double value);
  void SetHeight(double value);
  double GetCenterX() const { return (MaxX + MinX) / 2; }
  double GetCenterY() const { return (MaxY + MinY) / 2; }

  // Output := the model (Output itself when that is a rectangle entity)
  // with the layers of the script in Input.
  void DoIt() override;

 private:
  bool ExtentSet() const { return MinX != 0 && MinY != 0 && MaxX != 0 && MaxY != 0; }
  void AddLayer(TRectEntity& model, TLayerScript& layer);
  // Nil for what yields nothing; what is missing is logged.
  TElement* ReadPath(const std::string& kind, const std::string& path, const std::vector<std::string>& params);
  TElement* CreateFromScript(const std::string& className, const std::vector<std::string>& params);
  TElement* CreateRaster(const std::string& path, const std::vector<std::string>& params);
};

class TDynamicModel : public TOwnerEntity {
  KESTX_CLASS(TDynamicModel)
 public:
  ~TDynamicModel() override;

  bool Active = false;

  TElement* GetActualModel() const { return actualModel_; }
  // Lets the model held go (it dies unless another owner keeps it) with the
  // object model's "TRegister", then holds the new one.  The dynamic model
  // itself and its owners are refused (ECircularOwnership) before anything
  // is let go.
  void SetActualModel(TElement* model);
  std::int32_t GetActualIndex() const { return actualIndex_; }
  // Builds the model of the i-th model script; an index outside the
  // children raises the list's index error before anything is freed.
  void SetActualIndex(std::int32_t index);
  // While active, item i is the model of the i-th script.
  TElement* GetElement(int index) override;
  bool AnswersFromChildren() const override { return false; }

 protected:
  void FieldElementFreed(TElement* element) override;

 private:
  TElement* actualModel_ = nullptr;
  std::int32_t actualIndex_ = -1;
};

// Splits the model script in Input per data folder of its paths: Output a
// dynamic model of one model script per folder.
class TModelScriptToDynamicModel : public TTool {
  KESTX_CLASS(TModelScriptToDynamicModel)
 public:
  void DoIt() override;
};

void RegisterScriptModelClasses();
