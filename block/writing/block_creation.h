#pragma once
// A new block's files: every fixed-record file with its dummy record 0 and
// the text file with its header line.
#include <string>

// Creates (or empties) TN.CRD, TN.LIN, TN.ARE, TN.PNT, TN.TBX and TN.TTX in
// the existing folder Dir.  Raises the platform's file errors.
void CreateBlockFiles(const std::string& Dir);
