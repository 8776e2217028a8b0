#include "block/writing/block_creation.h"

#include "block/files/block_records.h"
#include "block/reading/reader_base.h"
#include "platform/code_page.h"
#include "platform/streams.h"

namespace {

void WriteNewFile(const std::string& fileName, const void* bytes, std::size_t count) {
  platform::TFileStream file(fileName, platform::TFileStream::Mode::Create);
  file.Write(bytes, count);
}

template <class R>
void WriteDummyFile(const std::string& Dir, const char* File) {
  const typename R::Bytes dummy = R::Dummy();
  WriteNewFile(BlockFilePath(Dir, File), dummy.data(), dummy.size());
}

}  // namespace

void CreateBlockFiles(const TBlockFolder& Block) {
  WriteDummyFile<TCoordRecord>(Block.Dir, kCoordFileName);
  WriteDummyFile<TLineRecord>(Block.Dir, kLineFileName);
  WriteDummyFile<TAreaRecord>(Block.Dir, kAreaFileName);
  WriteDummyFile<TPointRecord>(Block.Dir, kPointFileName);
  WriteDummyFile<TTextBoxRecord>(Block.Dir, kTextBoxFileName);
  const std::string header = platform::Utf8ToCp1250(TextFileHeaderLine(Block.Name));
  WriteNewFile(BlockFilePath(Block.Dir, kTextFileName), header.data(), header.size());
}
