#pragma once
// The exceptions of the workbook model. Both carry the system's message texts exactly; the
// callers above the model catch std::exception and show what().
#include <stdexcept>
#include <string>

namespace workbook {

// Every refused operation of the model ("Not enough memory for the cell grid", ...).
class ESpreadSheetError : public std::runtime_error {
 public:
  explicit ESpreadSheetError(const std::string& message) : std::runtime_error(message) {}
};

// Errors of the style cache ("Invalid cell style").
class EStyleError : public std::runtime_error {
 public:
  explicit EStyleError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace workbook
