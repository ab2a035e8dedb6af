#include "Converter.h"

#include <malloc.h>

int main(int argc, char *argv[])
{
    // Picture buffers are megabytes each: keep them out of the heap, so they go
    // back to the system when freed and a long list ends with the memory of a
    // short one.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
    return runJpeg2swf(std::vector<std::string>(argv + 1, argv + argc));
}
