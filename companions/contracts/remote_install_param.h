#pragma once
// Parameter block of the remote-installation library: eight NUL-terminated
// text fields of 256 bytes each, zero-filled; a caller fills what it needs.
#include <cstddef>

struct RemoteInstallParam {
  char remoteComputer[256];
  char localIp[256];
  char userName[256];
  char password[256];
  char domain[256];
  char sourceDir[256];
  char registryFile[256];
  char commandLine[256];
};

static_assert(sizeof(RemoteInstallParam) == 2048);
static_assert(offsetof(RemoteInstallParam, localIp) == 256);
static_assert(offsetof(RemoteInstallParam, userName) == 512);
static_assert(offsetof(RemoteInstallParam, password) == 768);
static_assert(offsetof(RemoteInstallParam, domain) == 1024);
static_assert(offsetof(RemoteInstallParam, sourceDir) == 1280);
static_assert(offsetof(RemoteInstallParam, registryFile) == 1536);
static_assert(offsetof(RemoteInstallParam, commandLine) == 1792);
