#include "block/export/export_tools.h"

#include <optional>

#include "block/props/lumar_props.h"
#include "block/tables/export_dbf.h"
#include "framework/core/class_registry.h"
#include "framework/tools/world.h"
#include "framework/values/typed_values.h"
#include "platform/app_queue.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/gauge_form.h"
#include "platform/replacing_folder.h"
#include "platform/streams.h"
#include "spatial/objects/properties.h"
#include "spatial/objects/registers.h"
#include "spatial/objects/space_entities.h"

// ---------------------------------------------------------------- progress of an export loop

TExportProgress::TExportProgress(const std::string& caption, int count, std::string question)
    : form_(platform::NewGaugeForm()), question_(std::move(question)) {
  form_->SetMaxValue(count);
  form_->SetCaption(caption);
  form_->Show();
}

TExportProgress::~TExportProgress() = default;

bool TExportProgress::Next(int index) {
  if (form_->DoCloseQuery()) {
    // Asked once per request.
    form_->SetDoCloseQuery(false);
    if (form_->ConfirmAbort(question_)) return false;
  }
  form_->SetProgress(index);
  platform::Application::Instance().ProcessMessages();
  return true;
}

// ---------------------------------------------------------------- TExportElements

TExportElements::TExportElements() = default;
TExportElements::~TExportElements() = default;

TPropertyList* TExportElements::ExpProps() {
  if (!expProps_) expProps_.reset(CreateElement<TPropertyList>());
  return expProps_.get();
}

void TExportElements::SetNextPropName(const std::string& name) { ExpProps()->NextName(name); }

void TExportElements::SetDelimiter(const std::string& text) { ExpProps()->Delimiter = text; }

// ---------------------------------------------------------------- TExportElementsToText

void TExportElementsToText::DoIt() {
  TTool::DoIt();
  auto* input = DynamicCast<TSpaceEntity>(Input());
  if (!input || FileName.empty()) return;
  try {
    // The lines go to a file beside the one named, which they replace only
    // when all of them are written.
    platform::TReplacingFileStream file(FileName);
    TExportProgress progress("Export bodů do " + FileName, input->GetCount(), "Přerušit export bodů ?");
    TPropertyList* props = ExpProps();
    for (int i = 0; i < input->GetCount(); ++i) {
      if (!progress.Next(i)) break;
      TElement* child = input->GetElement(i);
      if (!child) continue;
      child->ID = i;
      props->SetElement(child);
      const std::string line = platform::Utf8ToCp1250(props->GetCatenation()) + "\r\n";
      file.Write(line.data(), line.size());
    }
    // The last lines sit in the file's buffer: a disk that does not take
    // them fails here, not silently when the file closes.
    file.Commit();
  } catch (const platform::EWriteError& error) {
    // A write error does not say which file would not take it.
    const std::string text = FileName + ": " + error.what();
    Log(text);
    throw platform::EWriteError(text);
  } catch (const platform::EStreamError& error) {
    Log(error.what());
    throw;
  }
}

// ---------------------------------------------------------------- TExportLumarElements

TDynamicProperties* TExportLumarElements::DynamicProps() {
  auto* props = DynamicCast<TDynamicProperties>(dynamicProps_.Get());
  if (!props) {
    props = CreateElement<TDynamicProperties>();
    AddElement(props);
    dynamicProps_.Set(props);
  }
  return props;
}

void TExportLumarElements::WriteDBFRecord(TElement* Element) {
  auto* entity = DynamicCast<TSpaceEntity>(Element);
  const auto* props = entity ? DynamicCast<TLumarProps>(entity->Properties()) : nullptr;
  if (!props) return;
  const auto kind = static_cast<std::int16_t>(JedenDruh >= 1 ? JedenDruh : props->Druh);
  const char letter = props->PhysicalObjectType();
  const std::string name = letter + FormatIntWidth(kind, 4, true);
  auto* writer = DynamicCast<TExportDBFClass>(FindElementByName(name));
  if (!writer) {
    writer = CreateElement<TExportDBFClass>();
    writer->SetName(name);
    writer->CreateFromSource = CreateFromSource;
    AddElement(writer);
  }
  writer->Druh = kind;
  writer->ObjectType = letter;
  writer->SetDynamicProps(DynamicProps());
  writer->ControlDir = ControlDir;
  writer->ExpBlockName = WriteFolder().Dir;
  writer->PlochyVHa = PlochyVHa;
  writer->BothSources = BothSources;
  const auto kept = sourceTables_.find(Element);
  writer->WriteObject(Element, kept != sourceTables_.end() ? kept->second : props->GetDBFName());
}

void TExportLumarElements::KeepSourceTable(const TElement* Element) {
  const auto* entity = DynamicCast<TSpaceEntity>(Element);
  if (const auto* props = entity ? DynamicCast<TLumarProps>(entity->Properties()) : nullptr)
    sourceTables_[Element] = props->GetDBFName();
}

void TExportLumarElements::CloseTables() {
  for (TElement* child : Children())
    if (auto* writer = DynamicCast<TExportDBFClass>(child)) writer->CloseTable();
}

TBlockFolder TExportLumarElements::WriteFolder() const {
  return writeDir_.empty() ? TBlockFolder(BlockName()) : TBlockFolder(BlockName(), writeDir_);
}

namespace {

// The error being handled raised again, of its class, with the text given.
[[noreturn]] void RaiseAgainAs(const std::string& text) {
  try {
    throw;
  } catch (const platform::EFCreateError&) {
    throw platform::EFCreateError(text);
  } catch (const platform::EFOpenError&) {
    throw platform::EFOpenError(text);
  } catch (const platform::EWriteError&) {
    throw platform::EWriteError(text);
  } catch (const platform::EReadError&) {
    throw platform::EReadError(text);
  } catch (const platform::EStreamError&) {
    throw platform::EStreamError(text);
  }
}

}  // namespace

void TExportLumarElements::ExportBlock(const std::function<void()>& Export) {
  std::optional<platform::TReplacingFolder> block;
  try {
    block.emplace(BlockName());
    if (!block->ReplacedFileByFile().empty()) Log(FileByFileExportText(BlockName(), block->ReplacedFileByFile()));
    const TRestore<std::string> writing(writeDir_, block->Path());
    Export();
    // Nothing of the block is written after the swap.
    CloseTables();
    block->Commit();
  } catch (const std::exception& error) {
    // The user knows the block, not the folder its new files are written in.
    const std::string reason = block ? block->Named(error.what()) : error.what();
    Log(UnfinishedExportText(BlockName(), reason));
    NoteFailedWork(TFailedWork::Block);
    RaiseAgainAs(reason);
  }
}

std::string UnfinishedExportText(const std::string& BlockName, const std::string& Reason) {
  return "Export do bloku " + BlockName + " nedokončen: " + Reason;
}

std::string FileByFileExportText(const std::string& BlockName, const std::string& Reason) {
  return "Blok " + BlockName + " nelze nahradit celý najednou (" + Reason + "), jeho soubory se nahradí každý zvlášť";
}

void TExportLumarElements::ExportAttributes(TElement* Element) {
  if (!Element || !ExportDBF) return;
  WriteDBFRecord(Element);
  if (!RegisterObject) return;
  if (TBlockRegister* reg = GetBlockRegister()) reg->RegisterSpaceEntity(Element);
}

void TExportLumarElements::DoExportObject(TElement* Element) {
  if (OnExportObject.Code == 0) return;
  reinterpret_cast<TExportObjectProc>(OnExportObject.Code)(reinterpret_cast<void*>(OnExportObject.Data), Element,
                                                           DynamicProps());
}

TBlockRegister* TExportLumarElements::GetBlockRegister() {
  if (auto* cached = DynamicCast<TBlockRegister>(blockRegister_.Get())) return cached;
  TWorld* world = World();
  TEntity* model = world ? world->ObjectModel() : nullptr;
  if (!model) return nullptr;
  auto* registry = DynamicCast<TRegister>(model->FindElementByClass(TRegister::StaticClass()));
  if (!registry) {
    registry = CreateElement<TRegister>();
    model->AddElement(registry);
  }
  TBlockRegister* reg = registry->GetBlockRegister(BlockName(), "TLumarBlockRegister");
  blockRegister_.Set(reg);
  return reg;
}

// ---------------------------------------------------------------- TExpBlockName

std::string TExpBlockName::FullBlockName() const {
  return platform::IncludeTrailingPathDelimiter(BlockDir) + BlockName + ".BLK";
}

// ---------------------------------------------------------------- class descriptions

TClass TExportElements::StaticClass() {
  using E = TExportElements;
  static const TClassInfo info = DescribeClass<E>(
      "TExportElements", TTool::StaticClass(), "T_LumExp",
      {NotStored(AccessorProp<E, TPropertyList*>(
           "ExpProps", [](const E& e) { return const_cast<E&>(e).ExpProps(); }, nullptr)),
       WriteProp("NextPropName", &E::SetNextPropName), WriteProp("Delimiter", &E::SetDelimiter)});
  return &info;
}

TClass TExportElementsToText::StaticClass() {
  using E = TExportElementsToText;
  static const TClassInfo info = DescribeClass<E>("TExportElementsToText", TExportElements::StaticClass(),
                                                  "T_LumExp", {FieldProp("FileName", &E::FileName)});
  return &info;
}

TClass TExportLumarElements::StaticClass() {
  using E = TExportLumarElements;
  static const TClassInfo info = DescribeClass<E>(
      "TExportLumarElements", TExportElements::StaticClass(), "T_LumExp",
      {NotStored(FieldProp("OnExportObject", &E::OnExportObject)), FieldProp("ExportDBF", &E::ExportDBF),
       FieldProp("ControlDir", &E::ControlDir), FieldProp("CreateFromSource", &E::CreateFromSource),
       FieldProp("JedenDruh", &E::JedenDruh), FieldProp("RegisterObject", &E::RegisterObject),
       NotStored(AccessorProp<E, TDynamicProperties*>(
           "DynamicProps", [](const E& e) { return const_cast<E&>(e).DynamicProps(); }, nullptr)),
       FieldProp("PlochyVHa", &E::PlochyVHa), FieldProp("BothSources", &E::BothSources),
       AccessorProp<E, std::string>(
           "BlockName", [](const E& e) { return e.BlockName(); },
           [](E& e, std::string name) { e.SetBlockName(name); })});
  return &info;
}

TClass TExpBlockName::StaticClass() {
  using E = TExpBlockName;
  static const TClassInfo info = DescribeClass<E>(
      "TExpBlockName", TNameElement::StaticClass(), "T_LumExp",
      {FieldProp("BlockDir", &E::BlockDir), FieldProp("BlockName", &E::BlockName),
       NotStored(ReadProp("FullBlockName", &E::FullBlockName))});
  return &info;
}
