#pragma once
// A new block's files: every fixed-record file with its dummy record 0 and
// the text file with its header line.
#include <string>
#include <utility>

// Where a block's files are written: the block's own folder, or a folder
// that takes its place once the block is complete.  Texts for the user and
// the block's text file name the block (Name); the files go to Dir.  A
// block written in place is named by its folder.
struct TBlockFolder {
  TBlockFolder(const std::string& Folder) : Name(Folder), Dir(Folder) {}
  TBlockFolder(std::string BlockName, std::string FilesDir) : Name(std::move(BlockName)), Dir(std::move(FilesDir)) {}

  std::string Name;
  std::string Dir;
};

// Creates (or empties) TN.CRD, TN.LIN, TN.ARE, TN.PNT, TN.TBX and TN.TTX in
// the existing folder Block.Dir; the text file's header names Block.Name.
// Raises the platform's file errors.
void CreateBlockFiles(const TBlockFolder& Block);
