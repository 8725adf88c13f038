// One reader per format, each reading a whole file into the result; ReadConstraints picks one.
#ifndef MBD_READERS_H
#define MBD_READERS_H

#include <string>

#include "MbdConstraintReader.h"

namespace MbdFormats {
namespace detail {

using Reader = void (*)(const std::string& text, const std::string& file,
                        const ReadOptions& options, ReadResult& result);

void ReadXdc(const std::string& text, const std::string& file, const ReadOptions& options,
             ReadResult& result);
void ReadSdc(const std::string& text, const std::string& file, const ReadOptions& options,
             ReadResult& result);
void ReadQsf(const std::string& text, const std::string& file, const ReadOptions& options,
             ReadResult& result);
void ReadPdc(const std::string& text, const std::string& file, const ReadOptions& options,
             ReadResult& result);
void ReadPcf(const std::string& text, const std::string& file, const ReadOptions& options,
             ReadResult& result);
void ReadLpf(const std::string& text, const std::string& file, const ReadOptions& options,
             ReadResult& result);
void ReadCst(const std::string& text, const std::string& file, const ReadOptions& options,
             ReadResult& result);
void ReadCcf(const std::string& text, const std::string& file, const ReadOptions& options,
             ReadResult& result);
void ReadUcf(const std::string& text, const std::string& file, const ReadOptions& options,
             ReadResult& result);

}  // namespace detail
}  // namespace MbdFormats

#endif  // MBD_READERS_H
