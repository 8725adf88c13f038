// Marks the classes that libLyrWiz_Mbd exports; everything else stays hidden.
#ifndef MBD_EXPORT_H
#define MBD_EXPORT_H

#if defined(LYRWIZ_MBD_BUILDING)
#define LYRWIZ_MBD_EXPORT __attribute__((visibility("default")))
#else
#define LYRWIZ_MBD_EXPORT
#endif

#endif  // MBD_EXPORT_H
