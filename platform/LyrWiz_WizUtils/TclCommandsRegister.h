// The base of the wizard's command registration scheme: a host hands an object of a derived
// class to registerInterp, which has the object add its commands to the host's interpreter
// and then source the scripts they rely on.
#ifndef LYRWIZ_TCLCOMMANDSREGISTER_H
#define LYRWIZ_TCLCOMMANDSREGISTER_H

// The Tcl types this interface names, declared as tcl.h declares them, so that a user of the
// module model needs no Tcl headers; code that calls Tcl includes tcl.h itself.
struct Tcl_Interp;
struct Tcl_Obj;
typedef int(Tcl_ObjCmdProc)(void* clientData, Tcl_Interp* interp, int objc,
                            struct Tcl_Obj* const* objv);

class LyrWiz_TclCommandsRegister {
 public:
  LyrWiz_TclCommandsRegister() = default;
  LyrWiz_TclCommandsRegister(const LyrWiz_TclCommandsRegister&) = default;
  LyrWiz_TclCommandsRegister& operator=(const LyrWiz_TclCommandsRegister&) = default;

  // Calls addCommands, then (only when that succeeded) sourceTclFiles; true only when both
  // succeed. False at once for a null interpreter.
  virtual bool registerInterp(Tcl_Interp* interp);

 protected:
  // Not virtual: objects are never deleted through this class.
  ~LyrWiz_TclCommandsRegister() = default;

  // Registers the derived class's commands in `interp`; false when that failed.
  virtual bool addCommands(Tcl_Interp* interp) = 0;
  // Sources the scripts the commands need into `interp`; false when that failed.
  virtual bool sourceTclFiles(Tcl_Interp* interp) = 0;

  // Registers `proc` as the object command `name` of `interp`; false for a null interpreter,
  // name or procedure.
  bool createCommand(Tcl_Interp* interp, char* name, Tcl_ObjCmdProc* proc);
};

#endif  // LYRWIZ_TCLCOMMANDSREGISTER_H
