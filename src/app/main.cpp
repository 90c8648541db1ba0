#include "pellar_app.h"

// The one application object, as the program's whole lifetime.
static CPellarApp the_application;

int main(int argc, char** argv) { return the_application.Run(argc, argv); }
