#include "framework/values/element_paths.h"

#include <vector>

#include "framework/core/class_registry.h"
#include "framework/core/elements.h"

// ---------------------------------------------------------------- tokens

namespace {

bool IsDelimiter(std::string_view delimiters, char c) {
  const auto code = static_cast<unsigned char>(c);
  return code >= 32 && code <= 127 && delimiters.find(c) != std::string_view::npos;
}

// The byte after the UTF-8 character that starts at byte i.
std::size_t NextCharacter(const std::string& text, std::size_t i) {
  ++i;
  while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
  return i;
}

}  // namespace

void NextRawToken(const std::string& text, std::string_view delimiters, int pos, std::string& token, int& newPos,
                  char& delimiter) {
  token.clear();
  delimiter = '\0';
  if (text.empty()) {
    newPos = pos;
    return;
  }
  int position = 1;
  std::size_t at = 0;
  while (position < pos && at < text.size()) {
    at = NextCharacter(text, at);
    ++position;
  }
  const std::size_t start = at;
  while (at < text.size() && !IsDelimiter(delimiters, text[at])) {
    at = NextCharacter(text, at);
    ++position;
  }
  token = text.substr(start, at - start);
  if (at < text.size()) delimiter = text[at];
  // Past the end the position is length + 1, so both cases step over one.
  newPos = position + 1;
}

void NextToken(const std::string& text, std::string_view delimiters, int pos, std::string& token, int& newPos,
               char& delimiter) {
  NextRawToken(text, delimiters, pos, token, newPos, delimiter);
  token = TrimBlanks(token);
}

// ---------------------------------------------------------------- paths

namespace {

constexpr std::string_view kPathDelimiters = "().";

enum class PathMode { Value, Find, List };

struct PathResult {
  std::string Text;
  TElement* Element = nullptr;
  std::vector<std::string> Lines;
};

std::string PropertyTextOf(const TObject& object, const std::string& name) {
  if (auto* element = DynamicCast<TElement>(&object)) return element->GetPropertyText(name);
  std::string text;
  GetPropertyTextByName(object, name, text);
  return text;
}

std::string ErrorPosition(int position) { return "Chyba syntaxe. .. na pozici " + std::to_string(position) + " "; }

class PathWalk {
 public:
  PathWalk(const TElement& start, const std::string& path, PathMode mode)
      : path_(path), mode_(mode), current_(const_cast<TElement*>(&start)) {}

  PathResult Run() {
    PathResult result;
    while (true) {
      if (!current_) throw Exception("Chyba ... nenalezl jsem objekt " + lastArgument_);
      std::string token;
      char delimiter = '\0';
      const int delimiterPos = Next(token, delimiter);
      switch (delimiter) {
        case '(':
          if (FindCall(token, delimiterPos, result)) return result;
          break;
        case '.':
          if (mode_ == PathMode::List && AsciiUpperCase(token) == "ELEMENT") {
            ListChildren(result);
            return result;
          }
          current_ = GetObjectPropByName(*current_, token);
          break;
        case ')':
          break;
        default:
          LastSegment(token, result);
          return result;
      }
    }
  }

 private:
  // Reads the next token; gives the position of its delimiter.
  int Next(std::string& token, char& delimiter) {
    int newPos = pos_;
    NextToken(path_, kPathDelimiters, pos_, token, newPos, delimiter);
    pos_ = newPos;
    return newPos - 1;
  }

  // True when the call ended the path (only in a search for an element).
  bool FindCall(const std::string& function, int parenthesisPos, PathResult& result) {
    auto* entity = DynamicCast<TEntity>(current_);
    if (!entity)
      throw Exception("Objekt na pozici " + std::to_string(parenthesisPos - 1) + " není Entita ... nelze prohledávat");
    std::string argument;
    char delimiter = '\0';
    const int argumentEnd = Next(argument, delimiter);
    lastArgument_ = argument;
    TElement* found = nullptr;
    const std::string name = AsciiUpperCase(function);
    if (name == "FINDELEMENTBYNAME") found = entity->FindElementByName(argument);
    else if (name == "FINDELEMENTBYCLASS") found = entity->FindElementByClass(GetKestuClass(argument));
    if (delimiter != ')') throw Exception(ErrorPosition(argumentEnd) + "očekávám \")\"");
    std::string rest;
    Next(rest, delimiter);
    if (mode_ == PathMode::Find && delimiter == '\0') {
      result.Element = found;
      return true;
    }
    if (delimiter != '.') throw Exception(ErrorPosition(argumentEnd) + "očekávám \".\"");
    current_ = found;
    return false;
  }

  void LastSegment(const std::string& token, PathResult& result) {
    switch (mode_) {
      case PathMode::Value:
        result.Text = PropertyTextOf(*current_, token);
        break;
      case PathMode::Find:
        result.Element = DynamicCast<TElement>(GetObjectPropByName(*current_, token));
        break;
      case PathMode::List:
        result.Lines.push_back(PropertyTextOf(*current_, token));
        break;
    }
  }

  void ListChildren(PathResult& result) {
    auto* entity = DynamicCast<TEntity>(current_);
    if (!entity) {
      if (DynamicCast<TElement>(current_)) throw Exception("Poslední objekt není Entita - nelze vytvořit seznam !");
      throw Exception("Poslední objekt není ani Element, natož Entita !");
    }
    std::string property;
    char delimiter = '\0';
    Next(property, delimiter);
    if (delimiter != '\0') throw Exception("Chybné zakončení příkazu: " + std::string(1, delimiter));
    const std::vector<TElement*> children(entity->Children().begin(), entity->Children().end());
    for (TElement* child : children)
      if (child) result.Lines.push_back(child->GetPropertyText(property));
  }

  const std::string& path_;
  PathMode mode_;
  TObject* current_;
  int pos_ = 1;
  std::string lastArgument_;
};

}  // namespace

std::string TElement::GetPathValue(const std::string& path) const {
  return PathWalk(*this, path, PathMode::Value).Run().Text;
}

std::vector<std::string> TElement::GetPathValueList(const std::string& path) const {
  return PathWalk(*this, path, PathMode::List).Run().Lines;
}

TElement* TElement::FindPathElement(const std::string& path) const {
  return PathWalk(*this, path, PathMode::Find).Run().Element;
}
