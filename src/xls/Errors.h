#pragma once
// The exceptions of the workbook file layer. Plain exceptions with texts: the file layer
// reports texts, not codes, and callers above catch std::exception.
#include <stdexcept>
#include <string>

namespace xls {

// A malformed record stream.
class XlsError : public std::runtime_error {
 public:
  explicit XlsError(const std::string& message) : std::runtime_error(message) {}
};

// Every fault of a compound document: the message names what is wrong and where.
class CompoundError : public std::runtime_error {
 public:
  explicit CompoundError(const std::string& message) : std::runtime_error(message) {}
};

// The book cannot be written as a workbook file.
class EExcelDataWriter : public std::runtime_error {
 public:
  explicit EExcelDataWriter(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace xls
