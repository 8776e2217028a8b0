#pragma once
// Raster servers the tests control: a raster whose answers they set and
// whose calls they record, and a factory guard that puts them in place of
// the local servers for one test.
#include <memory>
#include <string>
#include <vector>

#include "platform/raster_servers.h"

struct FakeRasterState {
  std::vector<std::string> Calls{};
  bool Open = false;
  bool FailOpen = false;
  std::string FileName{};
  std::int32_t Width = 0, Height = 0;
  std::int16_t RasTyp = 1;
  double OriginX = 0, OriginY = 0, ExtentX = 0, ExtentY = 0, HorizRes = 0, VertRes = 0;
  std::string Notes{};
};

class FakeRaster : public platform::RasterServer {
 public:
  explicit FakeRaster(std::shared_ptr<FakeRasterState> state) : s_(std::move(state)) {}
  bool FileOpen() override { return Call("1"), s_->Open; }
  std::string FileName() override { return Call("2"), s_->FileName; }
  void SetFileName(const std::string& name) override { Call("2:=" + name), s_->FileName = name; }
  std::int32_t PixelWidth() override { return s_->Width; }
  std::int32_t PixelHeight() override { return s_->Height; }
  std::int16_t RasTyp() override { return s_->RasTyp; }
  std::int16_t Compres() override { return 0; }
  double OriginY() override { return s_->OriginY; }
  double OriginX() override { return s_->OriginX; }
  double ExtentY() override { return s_->ExtentY; }
  double ExtentX() override { return s_->ExtentX; }
  std::int32_t RCS() override { return 0; }
  void SetRCS(std::int32_t) override {}
  std::string OpenNotes() override { return Call("19"), s_->Notes; }
  bool Tiled() override { return false; }
  std::int32_t FileSize() override { return 0; }
  double VertRes() override { return s_->VertRes; }
  double HorizRes() override { return s_->HorizRes; }
  std::int32_t Open(const std::string& name, std::int32_t a, std::int32_t b) override {
    Call("28(" + name + "," + std::to_string(a) + "," + std::to_string(b) + ")");
    if (s_->FailOpen) throw platform::ERasterServerError(name + ": nelze otevřít");
    s_->Open = true;
    return 0;
  }
  std::int32_t Close(bool save) override {
    Call(std::string("30(") + (save ? "True" : "False") + ")");
    s_->Open = false;
    return 0;
  }

 private:
  void Call(const std::string& what) { s_->Calls.push_back(what); }
  std::shared_ptr<FakeRasterState> s_;
};

class FakeViewEntry : public platform::ViewEntry {
 public:
  explicit FakeViewEntry(std::shared_ptr<FakeRasterState> state) : s_(std::move(state)) {}
  void SetKind(std::int32_t kind) override { s_->Calls.push_back("entry 1:=" + std::to_string(kind)); }
  void SetRaster(std::shared_ptr<platform::RasterServer> raster) override {
    s_->Calls.push_back(std::string("entry 20:=") + (raster ? "raster" : "nil"));
    raster_ = std::move(raster);
  }
  std::shared_ptr<platform::RasterServer> Raster() override { return raster_; }

 private:
  std::shared_ptr<FakeRasterState> s_;
  std::shared_ptr<platform::RasterServer> raster_;
};

// While it lives, rasters and view entries are the fakes over one state;
// the store and view transformation stay the local ones unless a test puts
// its own.
class FakeRasterServers {
 public:
  FakeRasterServers() {
    platform::SetRasterObjectFactory([state = State, this](const std::string& id) -> std::shared_ptr<platform::RasterObject> {
      if (id == platform::kRasterId) return std::make_shared<FakeRaster>(state);
      if (id == platform::kViewEntryId) return std::make_shared<FakeViewEntry>(state);
      if (id == platform::kRasterStoreId && Store) return Store;
      if (id == platform::kViewTransformationId && View) return View;
      return nullptr;
    });
  }
  ~FakeRasterServers() { platform::SetRasterObjectFactory(nullptr); }
  FakeRasterServers(const FakeRasterServers&) = delete;
  FakeRasterServers& operator=(const FakeRasterServers&) = delete;

  std::shared_ptr<FakeRasterState> State = std::make_shared<FakeRasterState>();
  std::shared_ptr<platform::RasterStore> Store;
  std::shared_ptr<platform::ViewTransformation> View;
};
