#pragma once
// Entry points that hand outside input to each reader of the program: the
// libFuzzer targets call them, and the tests replay the seed corpora through
// them.  Each returns normally for any input, whether the reader takes it or
// refuses it the way it should; an exception of another class, a crash, a
// hang or a leak is a fault.
#include <cstddef>
#include <cstdint>

namespace fuzz {

// A KES file ("KES0", or "TPF0" passed on to the component-stream reader):
// loaded, saved again and the saved file loaded.  Only EBadStream may leave.
void KesStream(const std::uint8_t* data, std::size_t size);
// A component stream: "TPF0" and then the bytes.  Only EBadStream may leave.
void ComponentStream(const std::uint8_t* data, std::size_t size);
// A script of element creations by class name, property texts set and read
// through the class registry, and frees.  Nothing may leave.
void PropertyTexts(const std::uint8_t* data, std::size_t size);
// A condition text compiled and tested on an element.  Only SyntaxExcept may
// leave.
void Conditions(const std::uint8_t* data, std::size_t size);
// An element path resolved from an element of a small graph.  Only the class
// library's Exception and EClassNotFound may leave.
void ElementPaths(const std::uint8_t* data, std::size_t size);
// A string-list file loaded, read, saved and loaded again.  Nothing may leave.
void StringListFiles(const std::uint8_t* data, std::size_t size);
// Lines of a layer list (one per input line) through every edit of the layer
// import form, and its rows inserted, deleted, moved and filled as the bytes
// say.  Nothing may leave, and the row count changes only as each step says.
void LayerLines(const std::uint8_t* data, std::size_t size);
// Stand records (five keys of outside text and a place each) built into the
// forest hierarchy: every stand area sits in exactly one "GEOMETRY", is
// found down its keys and under a point inside it.  Nothing may leave.
void ForestAttributes(const std::uint8_t* data, std::size_t size);
// Entries of the harvest dialog (the first four lines) answered OK, and a
// colour list (the fifth): the properties are all written, each as it was
// typed, or all left as they were; a refused list stays as it was.
void ForestDialogEntries(const std::uint8_t* data, std::size_t size);

// A bitmap file loaded into a window's picture and, when it is one, saved
// and loaded again at the same size.  Nothing may leave.
void BitmapFiles(const std::uint8_t* data, std::size_t size);

// Property lines of an interpret script, an interpret layer, a time element
// and a universal interpret, which draws its model into a bitmap: each line is
// a target letter (S, L, T, U), a space and Name=Value, where "#k" in a value
// stands for the k-th element of the model; a line "D" draws.  Nothing may
// leave.
void InterpretScripts(const std::uint8_t* data, std::size_t size);
// A GIS block directory: the input is a list of its files (a name byte, a
// 16-bit length, the bytes), written into a block folder; every layer is
// read, the areas and lines twice and the areas as outlines too.  Nothing
// may leave.
void BlockDirectories(const std::uint8_t* data, std::size_t size);
// A dBASE attribute table: walked, searched by CISLO through its index,
// edited, appended to, and its structure copied into a new table.  The
// engine may refuse it with EDatabaseError; nothing may leave.
void DbaseTables(const std::uint8_t* data, std::size_t size);
// An image file for a tool group's buttons: the first two bytes are the
// image list's width and height (0 to 255), the rest the file, read with
// NewImage and shown on an action's button.  Nothing may leave.
void ToolImages(const std::uint8_t* data, std::size_t size);
// A shortcut text given to a tool action and read back; what is read back
// must read back unchanged.  Nothing may leave.
void ShortCutTexts(const std::uint8_t* data, std::size_t size);
// A script file of the command-line language (Windows-1250, one line per
// line) run line by line on a world of its own; every failure is an error line of the script.  Lines that would reach
// the disk or run tools other than a harmless one are left out, but for a
// call of the script's own file (CALL('s.oil')) and a run of a new echo tool
// (CREATE(FuzzEcho, name).DOIT()).  Nothing may leave, and nothing the script
// made or a tool handed out outlives it and its world.
void CommandLines(const std::uint8_t* data, std::size_t size);

// Lines on a coarse grid (or a stand map moved by the bytes) joined and
// built into nodes and areas; every area must be clockwise with its label
// inside or reported, and every hole marked as one.  Nothing may leave.
// Its own library: it needs the block subsystem and the stand maps.
void TopologyLines(const std::uint8_t* data, std::size_t size);
// The same bytes as the line symbol file and the area symbol file of the
// symbol library: a few codes (1000 to 1009, 2000 to 2009 and the code the
// first bytes make) read and drawn on a 64 x 64 bitmap.  Nothing may leave.
void KeywordFiles(const std::uint8_t* data, std::size_t size);
// The bytes as a text font file and as a signed symbol font file: loaded,
// every byte drawn and measured, and drawn as a point symbol.  Nothing may
// leave.
void StrokeFonts(const std::uint8_t* data, std::size_t size);
// The bytes as the point symbol font list and the text style list: read,
// a few symbols drawn and the styles applied.  Nothing may leave.
void SymbolLists(const std::uint8_t* data, std::size_t size);
// An interpret table file: its rows loaded into a full table, which runs on
// an element with published properties, and the same lines as the rows of a
// simple table.  Nothing may leave.
void InterpretTables(const std::uint8_t* data, std::size_t size);
// The bytes as a text block's file: loaded into its lines, which are joined
// with themselves and drawn.  Nothing may leave.
void TextBlockFile(const std::uint8_t* data, std::size_t size);

// A picture file read as the program reads it, by its extension: a picture
// of its stated size, or EPictureError naming the file.  Nothing else may
// leave.
void PicturesJpeg(const std::uint8_t* data, std::size_t size);
void PicturesGif(const std::uint8_t* data, std::size_t size);
void PicturesBmp(const std::uint8_t* data, std::size_t size);
void PicturesPng(const std::uint8_t* data, std::size_t size);
// A world file's text: placed with positive pixel sizes, or refused with a
// reason.
void WorldFile(const std::uint8_t* data, std::size_t size);
// Model-script lines made into a script, written back as text and read
// again: the same layers and parameters; then the model built from it in a
// data folder of one file ("$" in a line stands for the folder), which stays
// as it was.  Nothing may leave.
void ModelScript(const std::uint8_t* data, std::size_t size);
// Entries typed into the property editor's value cells and confirmed with
// Enter: the first byte picks the edited object, each line's first byte the
// page and row, the rest is the entry.  A refused entry must keep the value,
// and the grid must show what the object holds.  Nothing may leave.
void PropertyEntries(const std::uint8_t* data, std::size_t size);
// The condition filter confirmed with OK: a stored table ("KES0" or "TPF0")
// loaded as the file of the columns "DRUH, BARVA", or the columns on the first line and rows of
// tab-separated cells on the others typed into its grid.  When OK takes the
// table, its condition compiles.  Nothing may leave.
void ConditionFilter(const std::uint8_t* data, std::size_t size);

}  // namespace fuzz
