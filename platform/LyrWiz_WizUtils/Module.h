// The wizard's module model: a module holds child modules, parameters, pins and signals,
// each with a free-form property multimap. The board model fills a top module from a board;
// the wizard reads it back in creation order.
#ifndef LYRWIZ_WIZUTILS_MODULE_H
#define LYRWIZ_WIZUTILS_MODULE_H

#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

#include "Portability.h"

// Free-form key/value entries. Keys sort by byte order; equal keys keep insertion order,
// so a pin can carry several "UCF_NET_STRING" entries in the order they were written.
typedef std::multimap<StringBase, StringBase> LyrWiz_Properties;

// A net of a module. Pins refer to signals; the module that created a signal owns it.
struct LyrWiz_Signal {
  StringBase name;
  // Bit range of a bus signal; -1, -1 for a single-bit (or unsized) signal.
  int msb = -1;
  int lsb = -1;
};

// A parameter of a module instance, with its value and any further descriptive entries.
struct LyrWiz_Param {
  StringBase name;
  StringBase value;
  LyrWiz_Properties properties;
};

// A pin of a module. The internal signal is the net inside the module the pin belongs to;
// the external signal is the net of the enclosing module that the pin is wired to.
// Signals are borrowed; their modules own them.
struct LyrWiz_Pin {
  StringBase name;
  LyrWiz_Properties properties;
  int msb = -1;  // -1, -1: single-bit or unsized
  int lsb = -1;
  int dir = 3;   // a LyrWiz_Module::PINDIR value

  // The net inside the pin's module; null when none was attached.
  LyrWiz_Signal* GetInternalSignal() const { return internal_; }
  void SetInternalSignal(LyrWiz_Signal* signal) { internal_ = signal; }
  // The net outside the pin's module; null when none was attached.
  LyrWiz_Signal* GetExternalSignal() const { return external_; }
  void SetExternalSignal(LyrWiz_Signal* signal) { external_ = signal; }

 private:
  LyrWiz_Signal* internal_ = nullptr;
  LyrWiz_Signal* external_ = nullptr;
};

// A module. It owns everything it creates and frees it when it is destroyed; the pointers
// its Add operations and accessors hand out stay valid for the module's life.
struct LyrWiz_Module {
  // Direction of a pin. PINDIR_UNDEF leaves the direction to the pin's properties (the
  // board model passes it for every pin and records a port's direction as a "DIR" entry).
  enum PINDIR { PINDIR_IN = 0, PINDIR_OUT = 1, PINDIR_INOUT = 2, PINDIR_UNDEF = 3 };

  StringBase name;
  LyrWiz_Properties properties;

  explicit LyrWiz_Module(StringBase moduleName = StringBase());
  LyrWiz_Module(const LyrWiz_Module&) = delete;
  LyrWiz_Module& operator=(const LyrWiz_Module&) = delete;
  ~LyrWiz_Module();

  // A new, empty child module; never null.
  LyrWiz_Module* AddChildModule(StringBase childName);
  // A new parameter; never null.
  LyrWiz_Param* AddParam(StringBase paramName, StringBase value);
  // A new pin with that bit range and direction; never null.
  LyrWiz_Pin* AddPin(StringBase pinName, int msb, int lsb, PINDIR dir);
  // The module's signal of that name (names compare byte for byte): the first call for a
  // name creates it with that bit range, later calls return the same signal unchanged, so
  // pins wired to one net share one signal. An empty name is no net: each call for it
  // creates a signal of its own, which nothing else shares. Never null.
  LyrWiz_Signal* AddSignal(StringBase signalName, int msb, int lsb);

  // What was created, in creation order; empty when nothing was.
  const std::vector<LyrWiz_Module*>& GetChildModules() const { return children_.Items(); }
  const std::vector<LyrWiz_Param*>& GetParams() const { return params_.Items(); }
  const std::vector<LyrWiz_Pin*>& GetPins() const { return pins_.Items(); }
  const std::vector<LyrWiz_Signal*>& GetSignals() const { return signals_.Items(); }
  // The signal of that name; null when the module has none (or the name is empty).
  LyrWiz_Signal* FindSignal(const StringBase& signalName) const;

 private:
  OwnedList<LyrWiz_Module> children_;
  OwnedList<LyrWiz_Param> params_;
  OwnedList<LyrWiz_Pin> pins_;
  OwnedList<LyrWiz_Signal> signals_;
  std::unordered_map<StringBase, LyrWiz_Signal*> signalByName_;
};

#endif  // LYRWIZ_WIZUTILS_MODULE_H
