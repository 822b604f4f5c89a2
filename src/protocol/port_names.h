#pragma once
// Port names as documents and display libraries give them ("COM1") and the
// devices they stand for on this system.

#include <optional>
#include <string>
#include <string_view>

namespace lumetra::protocol {

// n for "COMn" in any letter case, n from 1 to 99 written without leading zeros;
// nothing for any other name.
std::optional<int> ComPortNumber(std::string_view portName);

// The device for COMn: envValue (LUMETRA_COMn) when not empty, else storeValue
// (the settings store's [Ports] COMn) when not empty, else /dev/ttyS{n-1}.
std::string ComPortDevice(int number, std::string_view envValue, std::string_view storeValue);

// The device to open for a port name. An absolute path is taken as the device
// itself. Throws SerialError for any other name.
std::string ResolvePortDevice(std::string_view portName);

}  // namespace lumetra::protocol
