#pragma once
// The condition filter: a table whose columns are attribute names and whose
// rows are alternatives becomes a condition, the layer description with that
// condition a model built from its blocks, and the model is inserted into the
// input.  The table, the window's place and the column widths stay from run
// to run in "ConditionFilter.kes" beside the program.
#include <cstdint>
#include <string>
#include <vector>

#include "framework/forms/base_forms.h"
#include "framework/tools/tools.h"

class TOwnerEntity;

class TConditionFilterForm : public TKESTUForm {
  KESTX_CLASS(TConditionFilterForm)
 public:
  static constexpr const char* kGrid = "SG";

  TConditionFilterForm();
  // The column names of the header row.
  std::vector<std::string> Columns();
  // The data rows with no empty cell, from the top.
  std::vector<std::vector<std::string>> CompleteRows();

 private:
  // The text why OK cannot take the table; empty when it can.
  std::string Refusal();
};

class TConditionFilterDialog : public TTool {
  KESTX_CLASS(TConditionFilterDialog)
 public:
  std::string LayerDescription;
  std::string FilterProperties;
  std::string FileName;
  std::string Condition;
  std::string DataDirectory;
  std::int32_t DataIndex = 0;

  // The model of the last run, a child: a new one frees the old.
  TElement* GetData() const { return data_.Get(); }
  void SetData(TElement* data);
  TOwnerEntity* Conditions() const;
  void SetConditions(TOwnerEntity* conditions);
  // The file of the table: "ConditionFilter.kes" in the program's folder.
  static std::string TableFileName();

  // Shows the table; only OK builds the condition and the model.
  void DoIt() override;

 private:
  // The column names of FilterProperties, trimmed.
  std::vector<std::string> ColumnNames() const;
  TOwnerEntity* FreshConditions() const;
  // The saved table when it fits the columns; fresh (or padded) Conditions
  // otherwise.
  void LoadConditions();
  void FillForm(TConditionFilterForm& form);
  void TakeForm(TConditionFilterForm& form);
  void SaveConditions();
  void BuildModel();
  void InsertModel();

  TElementLink data_;
  TElementLink conditions_;
};

void RegisterConditionFilterClasses();
