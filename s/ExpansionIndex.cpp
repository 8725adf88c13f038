#include "ExpansionIndex.h"

using LyrBase::Property;
using LyrBoard::QbdBlock;

namespace mbd_detail {

std::size_t ExpansionIndex::FoldedHash::operator()(const StringBase& net) const {
  // FNV-1a over the bytes with A-Z folded to a-z, the only folding IGNORE_CASE does.
  std::size_t hash = 14695981039346656037ull;
  const char* bytes = net.c_str();
  for (unsigned i = 0; i < net.GetLength(); ++i) {
    unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c - 'A' + 'a');
    hash = (hash ^ c) * 1099511628211ull;
  }
  return hash;
}

void ExpansionIndex::Track(const StringBase& net) {
  if (lastOnNet_.count(net)) return;
  lastOnNet_.emplace(net, fpga_ ? ScanForLast(net) : nullptr);
}

void ExpansionIndex::Resolve(QbdBlock* fpga) {
  fpga_ = fpga;
  for (auto& entry : lastOnNet_) entry.second = nullptr;
  // Later ports overwrite earlier ones, so each net keeps its last port.
  for (Property* port : fpga_->GetPropSeqRef(QbdBlock::PORT)) Record(port);
}

Property* ExpansionIndex::LastPortOnNet(const StringBase& net) {
  const auto found = lastOnNet_.find(net);
  if (found != lastOnNet_.end()) return found->second;
  Property* last = ScanForLast(net);
  lastOnNet_.emplace(net, last);
  return last;
}

void ExpansionIndex::AppendPin(std::unique_ptr<LyrBoard::BdPin> pin) {
  Property* added = pin.get();
  if (fpga_->AddProperty(QbdBlock::PORT, pin.release()) == 0) Record(added);
}

Property* ExpansionIndex::ScanForLast(const StringBase& net) const {
  const std::vector<Property*>& ports = fpga_->GetPropSeqRef(QbdBlock::PORT);
  for (auto it = ports.rbegin(); it != ports.rend(); ++it)
    if ((*it)->GetValueStr().Compare(net, StringBase::IGNORE_CASE) == 0) return *it;
  return nullptr;
}

void ExpansionIndex::Record(Property* port) {
  const auto found = lastOnNet_.find(port->GetValueStr());
  if (found != lastOnNet_.end()) found->second = port;
}

}  // namespace mbd_detail
