// serialports.txt as the operator writes it: any bytes, read as PortMap::Load reads the file.
#include <QString>
#include <cstdint>

#include "link/PortMap.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto text =
      QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const tessarin::link::PortMap map = tessarin::link::PortMap::Parse(text);
  // Every Com item of the Port menu must name some device.
  for (int port = 1; port <= 4; ++port)
    if (map.deviceFor(port).isEmpty()) __builtin_trap();
  return 0;
}
