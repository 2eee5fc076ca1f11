#include "app/TTRecForm.h"

std::int16_t TTRecForm::ReadPage([[maybe_unused]] std::int16_t page, [[maybe_unused]] std::uint8_t* destination) { return 0; }  // not built yet
std::int16_t TTRecForm::WriteScratch([[maybe_unused]] const std::uint8_t* data, [[maybe_unused]] int length, [[maybe_unused]] std::uint16_t address) { return 0; }  // not built yet
std::int16_t TTRecForm::CopyScratch([[maybe_unused]] int length, [[maybe_unused]] std::uint16_t address) { return 0; }  // not built yet
std::int16_t TTRecForm::WriteMission() { return 0; }  // not built yet
std::int16_t TTRecForm::WriteUser([[maybe_unused]] int page) { return 0; }  // not built yet
std::int16_t TTRecForm::StopMission() { return 0; }  // not built yet
std::int16_t TTRecForm::ClearMemory() { return 0; }  // not built yet
std::int16_t TTRecForm::ForceConversion() { return 0; }  // not built yet
