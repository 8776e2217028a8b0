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

void CreateBlockFiles(const std::string& Dir) {
  WriteDummyFile<TCoordRecord>(Dir, kCoordFileName);
  WriteDummyFile<TLineRecord>(Dir, kLineFileName);
  WriteDummyFile<TAreaRecord>(Dir, kAreaFileName);
  WriteDummyFile<TPointRecord>(Dir, kPointFileName);
  WriteDummyFile<TTextBoxRecord>(Dir, kTextBoxFileName);
  const std::string header = platform::Utf8ToCp1250(TextFileHeaderLine(Dir));
  WriteNewFile(BlockFilePath(Dir, kTextFileName), header.data(), header.size());
}
