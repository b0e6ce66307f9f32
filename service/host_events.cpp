#include "service/host_events.h"

namespace service {

void THostEvents::Happened(const Device& device, Activity what, const std::string& detail) {
  for (IHostEvents* subscriber : subscribers_) subscriber->Happened(device, what, detail);
}

void THostEvents::HappenedOnListener(const Device& device, Activity what) {
  for (IHostEvents* subscriber : subscribers_) subscriber->HappenedOnListener(device, what);
}

void THostEvents::Refused(const Device& device, Refusal why) {
  for (IHostEvents* subscriber : subscribers_) subscriber->Refused(device, why);
}

void THostEvents::DeviceHeard(const Device& device, Heard what) {
  for (IHostEvents* subscriber : subscribers_) subscriber->DeviceHeard(device, what);
}

void THostEvents::CommandStarting(const Device& device) {
  for (IHostEvents* subscriber : subscribers_) subscriber->CommandStarting(device);
}

void THostEvents::CommandDid(Activity what, const std::string& detail) {
  for (IHostEvents* subscriber : subscribers_) subscriber->CommandDid(what, detail);
}

void THostEvents::DeviceConnected(const Origin& who) {
  for (IHostEvents* subscriber : subscribers_) subscriber->DeviceConnected(who);
}

void THostEvents::DeviceDisconnected(const Origin& who) {
  for (IHostEvents* subscriber : subscribers_) subscriber->DeviceDisconnected(who);
}

void THostEvents::PauseChanged(bool paused) {
  for (IHostEvents* subscriber : subscribers_) subscriber->PauseChanged(paused);
}

void THostEvents::DeviceRefused(std::uint32_t address) {
  for (IHostEvents* subscriber : subscribers_) subscriber->DeviceRefused(address);
}

void THostEvents::WokeFromSleep() {
  for (IHostEvents* subscriber : subscribers_) subscriber->WokeFromSleep();
}

void THostEvents::ServingChanged(Serving serving) {
  for (IHostEvents* subscriber : subscribers_) subscriber->ServingChanged(serving);
}

void THostEvents::BrowsersOnlyChanged(bool only) {
  for (IHostEvents* subscriber : subscribers_) subscriber->BrowsersOnlyChanged(only);
}

void THostEvents::LockChanged(bool locked) {
  for (IHostEvents* subscriber : subscribers_) subscriber->LockChanged(locked);
}

}  // namespace service
