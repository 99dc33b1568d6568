// A unit's parameter tree built from its parameter table, in the platform's units and flags.
#pragma once

#include "platform/audiounit/AUParameterTree.h"
#include "platform/foundation/ParameterTable.h"

#include <memory>
#include <span>
#include <string>

// A flat tree of one parameter per row, in row order, each holding its default and its row
// (which must outlive the tree: the units' constant tables), with no callbacks installed yet.
// Main or control thread.
std::shared_ptr<AUParameterTree> makeParameterTree(std::span<const foundation::ParameterRow> rows);

// The value as a number with the row's decimals ("%.3f" for three). Any thread but the render
// thread: it allocates.
std::string numberString(const foundation::ParameterRow& row, AUValue value);
