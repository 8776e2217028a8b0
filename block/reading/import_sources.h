#pragma once
// Where data is imported from: lists of block directories, raster files and
// symbol libraries, filled by writing the command properties NewBlock,
// NewRaster and NewLibrary.
#include <string>

#include "framework/core/elements.h"

class TImportSourceNode : public TOwnerElement {
  KESTX_CLASS(TImportSourceNode)
 public:
  ~TImportSourceNode() override;
  // A directory or file name.
  std::string Text;
};

class TImportSource : public TOwnerEntity {
  KESTX_CLASS(TImportSource)
 public:
  // Appends a node of Text; an empty Text adds nothing.
  virtual void AddSource(const std::string& Text);
};

class TLumaRImportBlocks : public TImportSource {
  KESTX_CLASS(TLumaRImportBlocks)
};

class TLumaRImportLibraries : public TImportSource {
  KESTX_CLASS(TLumaRImportLibraries)
};

class TLumaRImportRasters : public TImportSource {
  KESTX_CLASS(TLumaRImportRasters)
};

class TLumaRImportSource : public TImportSource {
  KESTX_CLASS(TLumaRImportSource)
 public:
  // Each made on first use and added as a child.
  TLumaRImportBlocks* Blocks();
  TLumaRImportLibraries* Libraries();
  TLumaRImportRasters* Rasters();

  // Commands: each adds a source to its list; reading answers "".
  void SetNewBlock(const std::string& Text) { Blocks()->AddSource(Text); }
  void SetNewRaster(const std::string& Text) { Rasters()->AddSource(Text); }
  void SetNewLibrary(const std::string& Text) { Libraries()->AddSource(Text); }

 private:
  TElementLink blocks_;
  TElementLink libraries_;
  TElementLink rasters_;
};

void RegisterImportSourceClasses();
