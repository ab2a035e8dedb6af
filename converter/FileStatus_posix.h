#pragma once

#include "FileStatus.h"

#include <sys/stat.h>

FileStatus fileStatusOf(const struct stat &status);
