#pragma once
// The layer type a file of a block or a picture file is shown as, by its
// extension (upper case, with its dot).
#include <string>

// ".ARE" and ".SHP" give "ARE"; ".LIN" and ".CRD" "LIN"; ".PNT" "PNT";
// ".TBX" and ".TTX" "TXT"; ".RAS", ".RAK", ".TIF", ".CIT" and ".BMP" "RAS";
// any other extension "LIN".
void LayerKindByExtension(const std::string& Extension, std::string& Kind);
// One of the fixed-record or text files of a block: ".ARE", ".LIN",
// ".PNT", ".TBX", ".TTX" or ".CRD".
bool IsBlockFileExt(const std::string& Extension);
