#pragma once
// The area symbols of "Srafy.txt", read on first use with the scale then in
// force (lengths become device pixels once) and kept.
#include <cstdint>
#include <memory>
#include <string>

#include "framework/core/elements.h"
#include "render/area_symbols/area_symbol.h"
#include "render/area_symbols/keyword_reader.h"

class TDevice;

class TCteniPlosnychZnacek : public TCteniParametru {
 public:
  TCteniPlosnychZnacek(const std::string& fileName, TDevice* device);
  // The symbol of that code (1000 or more), or nullptr.
  std::unique_ptr<TPlosnaZnacka> ReadSymbol(std::int32_t code);

 private:
  bool Next();
  // Millimetres on the map to pixels along one device axis.
  std::int32_t Pixels(bool vertical);
  std::unique_ptr<TVrstvaSraf> ReadLayer();
  std::unique_ptr<TSrafa> ReadSet(std::uint8_t direction);

  TDevice* device_;
  // The background code of the symbol being read; -1 until PODKLAD.
  std::int32_t background_ = -1;
  bool allBackground_ = true;
  bool negativeLength_ = false;
  bool isKey_ = false, isSection_ = false, isLast_ = false, ended_ = false;
  std::string key_, value_;
};

class TPlosneZnacky : public TNameEntity {
  KESTX_CLASS(TPlosneZnacky)
 public:
  TPlosneZnacky();
  explicit TPlosneZnacky(const std::string& fileName);

  void SetDevice(TDevice* device) { device_ = device; }
  TDevice* Device() const { return device_; }
  // A symbol read before, else read now; nullptr when the file has none (a
  // code it lacks is not sought again while the file stays as it was).
  TPlosnaZnacka* GetSymbol(std::int32_t code);
  TPlosnaZnacka* LoadSymbol(std::int32_t code);

 private:
  TDevice* device_ = nullptr;
  TCodesNotFound notFound_;
};

void RegisterAreaSymbolReaderClasses();
