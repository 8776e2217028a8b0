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
// A script file of the command-line language (Windows-1250, one line per
// line) run line by line on a world of its own; every failure is an error line of the script.  Lines that would reach
// the disk or run tools other than a harmless one are left out.  Nothing may
// leave, and nothing the script made outlives it and its world.
void CommandLines(const std::uint8_t* data, std::size_t size);

}  // namespace fuzz
