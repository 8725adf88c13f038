// Loads an XML file into a DOM and exits: the whole-process peer of `qbd check` on the same
// board written as XML.
#include <cstdio>

#include <pugixml.hpp>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: xml_load FILE\n");
    return 2;
  }
  pugi::xml_document doc;
  const pugi::xml_parse_result result = doc.load_file(argv[1]);
  if (!result) {
    std::fprintf(stderr, "%s: %s at offset %td\n", argv[1], result.description(), result.offset);
    return 1;
  }
  return 0;
}
