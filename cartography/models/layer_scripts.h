#pragma once
// What a model is built from: a model script is a list of layer scripts,
// each of one kind (its name: "LIN", "PNT", "ARE", "TXT", "LINSYM", "RAS" or
// "ELEMENT"), with a path pattern and parameters.  Before a model is
// built, each layer expands its pattern into concrete "PATH"
// children.
#include <string>

#include "spatial/geometry/geometry_elements.h"

class TPropertyList;

class TLayerScript : public TRectEntity {
  KESTX_CLASS(TLayerScript)
 public:
  // The path pattern ("+" in front: sub-folders too); for "ELEMENT"
  // the class name of the element to create.
  const std::string& GetDescription() const { return description_; }
  void SetDescription(const std::string& value) { description_ = value; }
  bool GetGoIntoDirs() const;
  void SetGoIntoDirs(bool value);

  // The base clear, then no parameters and an empty description.
  void Clear() override;
  // The parameter list is made (as a child) on the first parameter.
  void AddParameter(TElement* element);
  // Nil until the first parameter.
  TPropertyList* Parameters() const;
  // Holds a list another layer holds too, as its own parameters.
  void ShareParameters(TPropertyList* list);

  // Replaces the "PATH" children by the paths the pattern names under
  // the base folder.  Folders are separated by "/" or "\"; a pattern
  // that starts with "/" or holds ":" is absolute.
  void ExpandPaths(const std::string& baseDirectory);

 private:
  std::string description_;
  TElementLink parameters_;
};

class TModelScript : public TRectEntity {
  KESTX_CLASS(TModelScript)
 public:
  // Expands every layer script among the children, in order.
  void ExpandAll(const std::string& baseDirectory);
};

// The folder part of a path written with "/" or "\" ("" for none), without
// its trailing separator, and the name after it.
std::string DirectoryPart(const std::string& path);
std::string NamePart(const std::string& path);

void RegisterLayerScriptClasses();
