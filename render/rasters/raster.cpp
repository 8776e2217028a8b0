#include "render/rasters/raster.h"

#include "framework/core/class_registry.h"
#include "framework/core/messages.h"
#include "platform/raster_servers.h"

namespace {

// Folders are separated by "/" here and by "\" in names written elsewhere.
std::size_t LastSeparator(const std::string& path) { return path.find_last_of("/\\"); }

}  // namespace

// ---------------------------------------------------------------- TGraphicFileElement

std::string TGraphicFileElement::GetFileName() const { return fileName_; }

void TGraphicFileElement::SetFileName(const std::string& name) { fileName_ = name; }

std::string TGraphicFileElement::GetFilePath() const {
  const std::string name = GetFileName();
  const std::size_t slash = LastSeparator(name);
  return slash == std::string::npos ? std::string() : name.substr(0, slash + 1);
}

void TGraphicFileElement::SetFilePath(const std::string& path) {
  const std::string name = GetFileName();
  const std::size_t slash = LastSeparator(name);
  std::string folder = path;
  if (!folder.empty() && folder.back() != '/' && folder.back() != '\\')
    folder += folder.find('/') == std::string::npos && folder.find('\\') != std::string::npos ? '\\' : '/';
  SetFileName(folder + (slash == std::string::npos ? name : name.substr(slash + 1)));
}

TClass TGraphicFileElement::StaticClass() {
  using E = TGraphicFileElement;
  static const TClassInfo info =
      DescribeClass<E>("TGraphicFileElement", TRectEntity::StaticClass(), "e_RASTER",
                       {ReadWriteProp("FileName", &E::GetFileName, &E::SetFileName),
                        NotStored(ReadWriteProp("Path", &E::GetFilePath, &E::SetFilePath))});
  return &info;
}

TClass TBMPFileElement::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TBMPFileElement>("TBMPFileElement", TGraphicFileElement::StaticClass(), "e_RASTER", {});
  return &info;
}

// ---------------------------------------------------------------- TRaster

TRaster::TRaster()
    : server_(platform::CreateRasterObject<platform::RasterServer>(platform::kRasterId)),
      viewEntry_(platform::CreateRasterObject<platform::ViewEntry>(platform::kViewEntryId)) {
  viewEntry_->SetKind(1);
  viewEntry_->SetRaster(server_);
}

TRaster::~TRaster() {
  // A destructor cannot raise: a server that fails to close has nothing
  // more to lose, since it is released right after.
  try {
    if (server_->FileOpen()) server_->Close(false);
  } catch (const platform::ERasterServerError&) {
  }
}

std::string TRaster::GetFileName() const { return server_->FileName(); }

void TRaster::SetFileName(const std::string& name) {
  if (server_->FileOpen()) server_->Close(false);
  server_->SetFileName(name);
  server_->Open(name, 1, 2);
  if (const std::string notes = server_->OpenNotes(); !notes.empty())
    PostTextMessage(this, msgLogText, notes, nullptr);
  Place();
}

void TRaster::Place() {
  if (GetGeoRaster()) {
    SetBounds({-server_->OriginX() - server_->ExtentX(), -server_->OriginY() - server_->ExtentY(),
               -server_->OriginX(), -server_->OriginY()});
  } else {
    const double minX = server_->OriginX(), minY = server_->OriginY();
    SetBounds({minX, minY, minX + GetPixelWidth(), minY + GetPixelHeight()});
  }
}

void TRaster::SetHorizDPI(std::int32_t value) {
  if (GetGeoRaster()) return;
  horizDPI_ = value;
  // Without a file the server knows no size: the rectangle stays (a model
  // naming a file that no longer opens keeps its stored place).
  if (!server_->FileOpen()) return;
  SetWidth(value == 0 ? server_->ExtentX() : GetPixelWidth() / double(value) * 0.0254);
}

void TRaster::SetVertDPI(std::int32_t value) {
  if (GetGeoRaster()) return;
  vertDPI_ = value;
  if (!server_->FileOpen()) return;
  SetHeight(value == 0 ? server_->ExtentY() : GetPixelHeight() / double(value) * 0.0254);
}

std::int32_t TRaster::GetFileSize() const { return server_->FileSize(); }
std::int16_t TRaster::GetRasTyp() const { return server_->RasTyp(); }
std::int16_t TRaster::GetCompres() const { return server_->Compres(); }
bool TRaster::GetTiled() const { return server_->Tiled(); }
std::int32_t TRaster::GetPixelWidth() const { return server_->PixelWidth(); }
std::int32_t TRaster::GetPixelHeight() const { return server_->PixelHeight(); }
double TRaster::GetVertRes() const { return server_->VertRes(); }
double TRaster::GetHorizRes() const { return server_->HorizRes(); }
std::int32_t TRaster::GetRCS() const { return server_->RCS(); }
void TRaster::SetRCS(std::int32_t value) { server_->SetRCS(value); }

bool TRaster::GetGeoRaster() const {
  if (server_->OriginX() != 0 || server_->OriginY() != 0) return true;
  const double h = GetHorizRes(), v = GetVertRes();
  return !((h == 1 && v == 1) || (h == 0 && v == 0));
}

TClass TRaster::StaticClass() {
  using E = TRaster;
  static const TClassInfo info = DescribeClass<E>(
      "TRaster", TGraphicFileElement::StaticClass(), "e_RASTER",
      {FieldProp("Color", &E::Color), ReadWriteProp("HorizDPI", &E::GetHorizDPI, &E::SetHorizDPI),
       ReadWriteProp("VertDPI", &E::GetVertDPI, &E::SetVertDPI), NotStored(ReadProp("FileSize", &E::GetFileSize)),
       NotStored(ReadProp("RasTyp", &E::GetRasTyp)), NotStored(ReadProp("Compres", &E::GetCompres)),
       NotStored(ReadProp("Tiled", &E::GetTiled)), NotStored(ReadProp("PixelWidth", &E::GetPixelWidth)),
       NotStored(ReadProp("PixelHeight", &E::GetPixelHeight)), NotStored(ReadProp("VertRes", &E::GetVertRes)),
       NotStored(ReadProp("HorizRes", &E::GetHorizRes)), NotStored(ReadProp("GeoRaster", &E::GetGeoRaster)),
       NotStored(ReadWriteProp("RCS", &E::GetRCS, &E::SetRCS))});
  return &info;
}

bool& RastersEnabled() {
  static bool enabled = true;
  return enabled;
}

void RegisterRasterClasses() {
  for (TClass cls : {TGraphicFileElement::StaticClass(), TBMPFileElement::StaticClass(), TRaster::StaticClass()})
    RegisterKestuClass(cls);
}
