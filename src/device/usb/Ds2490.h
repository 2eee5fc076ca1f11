#pragma once
// The DS2490's USB protocol: the values the link sends and the emulation
// answers. Three vendor requests on endpoint 0 carry every command; the
// interrupt endpoint returns 16 state bytes and then the result bytes.
#include <cstdint>

namespace ds2490 {

// Endpoints, the same in every alternate setting.
constexpr std::uint8_t kStatusEndpoint = 0x81;   // interrupt in
constexpr std::uint8_t kDataOutEndpoint = 0x02;  // bulk out, to the 1-Wire bus
constexpr std::uint8_t kDataInEndpoint = 0x83;   // bulk in, from the bus

// Setting 3: status every 1 ms and 64-byte bulk packets, the fastest of the four.
constexpr int kAltSetting = 3;
constexpr int kFifoSize = 128;        // each data FIFO
constexpr int kCommandFifoSize = 16;  // bytes
constexpr int kStatusSize = 32;       // 16 state bytes, up to 16 result bytes

constexpr std::uint8_t kVendorOut = 0x40;
constexpr std::uint8_t kVendorIn = 0xC0;

// bRequest: the command type.
constexpr std::uint8_t kControlCommand = 0x00;
constexpr std::uint8_t kCommCommand = 0x01;
constexpr std::uint8_t kModeCommand = 0x02;

// Control commands (wValue).
constexpr std::uint16_t kCtlResetDevice = 0x0000;
constexpr std::uint16_t kCtlStartExe = 0x0001;
constexpr std::uint16_t kCtlResumeExe = 0x0002;
constexpr std::uint16_t kCtlHaltExeIdle = 0x0003;
constexpr std::uint16_t kCtlHaltExeDone = 0x0004;
constexpr std::uint16_t kCtlFlushCommCmds = 0x0007;
constexpr std::uint16_t kCtlFlushRcvBuffer = 0x0008;
constexpr std::uint16_t kCtlFlushXmtBuffer = 0x0009;
constexpr std::uint16_t kCtlGetCommCmds = 0x000A;

// Communication command codes: the low byte of wValue without the IM and 08h flags.
constexpr std::uint16_t kCommBitIo = 0x0020;
constexpr std::uint16_t kCommReset = 0x0042;
constexpr std::uint16_t kCommByteIo = 0x0052;
constexpr std::uint16_t kCommBlockIo = 0x0074;
constexpr std::uint16_t kCommSearchAccess = 0x00F4;
constexpr std::uint16_t kCommCodeMask = 0x00F6;

// Flags embedded in a communication command's wValue.
constexpr std::uint16_t kFlagIm = 0x0001;   // execute at once
constexpr std::uint16_t kFlag08 = 0x0008;   // D (bit value), SE (reset: apply speed), SM (search only)
constexpr std::uint16_t kFlagRst = 0x0100;  // 1-Wire reset first
constexpr std::uint16_t kFlagIcp = 0x0200;  // inside a macro: no result, no data for bit/byte
constexpr std::uint16_t kFlagNtf = 0x0400;  // always a result byte
constexpr std::uint16_t kFlagF = 0x0800;    // flush the buffers after an error
constexpr std::uint16_t kFlagSpu = 0x1000;  // strong pull-up afterwards
constexpr std::uint16_t kFlag40 = 0x4000;   // RTS in a search: return the discrepancy bytes

// Mode commands (wValue; the value goes in wIndex).
constexpr std::uint16_t kModeEnablePulse = 0x0000;
constexpr std::uint16_t kModeEnableSpeedChange = 0x0001;
constexpr std::uint16_t kModeSpeed = 0x0002;
constexpr std::uint16_t kModePullupDuration = 0x0003;
constexpr std::uint16_t kModeSlewRate = 0x0004;
constexpr std::uint16_t kModeProgDuration = 0x0005;
constexpr std::uint16_t kModeWrite1LowTime = 0x0006;
constexpr std::uint16_t kModeDsoW0Recovery = 0x0007;

constexpr std::uint8_t kSpeedRegular = 0, kSpeedFlexible = 1, kSpeedOverdrive = 2;

// State bytes of the status packet.
constexpr int kStatusEnableFlags = 0x00;
constexpr int kStatusSpeed = 0x01;
constexpr int kStatusPullupDuration = 0x02;
constexpr int kStatusProgDuration = 0x03;
constexpr int kStatusSlewRate = 0x04;
constexpr int kStatusWrite1LowTime = 0x05;
constexpr int kStatusDsoW0Recovery = 0x06;
constexpr int kStatusFlags = 0x08;
constexpr int kStatusCommand1 = 0x09;
constexpr int kStatusCommand2 = 0x0A;
constexpr int kStatusCommandFifo = 0x0B;
constexpr int kStatusDataOut = 0x0C;
constexpr int kStatusDataIn = 0x0D;
constexpr int kStatusResults = 0x10;

// Device status flags (offset 08h).
constexpr std::uint8_t kStSpua = 0x01;  // strong pull-up active
constexpr std::uint8_t kStPmod = 0x08;  // powered from USB and externally
constexpr std::uint8_t kStHalt = 0x10;
constexpr std::uint8_t kStIdle = 0x20;
constexpr std::uint8_t kStEp0f = 0x80;  // a setup packet was dropped: the command FIFO was full

// Result bytes.
constexpr std::uint8_t kResultDetect = 0xA5;  // a device arrived; not a bit field
constexpr std::uint8_t kResultNrs = 0x01;     // no presence (or no answer to a search bit)
constexpr std::uint8_t kResultSh = 0x02;      // short
constexpr std::uint8_t kResultApp = 0x04;     // alarming presence
constexpr std::uint8_t kResultCmp = 0x10;
constexpr std::uint8_t kResultEos = 0x80;  // a search ended with fewer ROMs than asked for

}  // namespace ds2490
