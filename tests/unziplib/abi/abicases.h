/* What an outside C program does with the unzip library: it knows the public
 * header only, loads the library with dlopen, fills the command record on the
 * heap with exactly its size, and checks the bytes it gets. The archives are
 * written here, in the shapes other zip writers produce. */
#ifndef VANTOR_TESTS_ABICASES_H
#define VANTOR_TESTS_ABICASES_H

#include "unziplib/unziplib.h"

#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

typedef struct AbiEntry {
  const char *name;     /* as stored in the archive */
  const char *expected; /* where it lands below the folder, NULL = not a file */
  size_t size;          /* bytes of pattern data */
  unsigned seed;        /* picks the data */
  int deflate;
  int descriptor; /* sizes and checksum after the data */
  int zip64;      /* sizes in zip64 extra fields */
} AbiEntry;

typedef struct AbiCase {
  const char *label;
  const AbiEntry *entries;
  size_t count;
  int zip64End;       /* a zip64 end record and its locator before the end record */
  const char *folder; /* a folder entry that must exist afterwards, or NULL */
} AbiCase;

/* Half runs of one byte, half noise: compressible, but not trivially. */
static unsigned char *abiData(size_t size, unsigned seed) {
  unsigned char *data = malloc(size ? size : 1);
  unsigned state = seed * 2654435761u + 1;
  for (size_t i = 0; i < size; ++i) {
    state = state * 1103515245u + 12345u;
    data[i] = (i / 4096) % 2 ? (unsigned char)(state >> 16) : (unsigned char)('a' + seed % 26);
  }
  return data;
}

typedef struct AbiBuffer {
  unsigned char *bytes;
  size_t size, capacity;
} AbiBuffer;

static void abiPut(AbiBuffer *b, const void *data, size_t size) {
  if (size == 0)
    return;
  if (b->size + size > b->capacity) {
    b->capacity = (b->size + size) * 2;
    b->bytes = realloc(b->bytes, b->capacity);
  }
  memcpy(b->bytes + b->size, data, size);
  b->size += size;
}

static void abiPutLe(AbiBuffer *b, unsigned long long value, int width) {
  unsigned char bytes[8];
  for (int i = 0; i < width; ++i)
    bytes[i] = (unsigned char)(value >> (8 * i));
  abiPut(b, bytes, (size_t)width);
}

static AbiBuffer abiDeflate(const unsigned char *data, size_t size) {
  AbiBuffer out = {0};
  z_stream z;
  memset(&z, 0, sizeof z);
  deflateInit2(&z, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
  out.capacity = deflateBound(&z, (uLong)size);
  out.bytes = malloc(out.capacity);
  z.next_in = (Bytef *)data;
  z.avail_in = (uInt)size;
  z.next_out = out.bytes;
  z.avail_out = (uInt)out.capacity;
  deflate(&z, Z_FINISH);
  out.size = z.total_out;
  deflateEnd(&z);
  return out;
}

/* Writes the case's archive to `path`; 0 on success. */
static int abiWriteArchive(const AbiCase *c, const char *path) {
  AbiBuffer zip = {0}, central = {0};
  for (size_t k = 0; k < c->count; ++k) {
    const AbiEntry *e = &c->entries[k];
    unsigned char *data = abiData(e->size, e->seed);
    const unsigned long crc = crc32(0, data, (uInt)e->size);
    AbiBuffer payload = {0};
    if (e->deflate)
      payload = abiDeflate(data, e->size);
    else
      abiPut(&payload, data, e->size);
    const unsigned long long offset = zip.size;
    const unsigned flags = e->descriptor ? 8u : 0u;
    const size_t nameLength = strlen(e->name);
    const unsigned long long small32 = e->zip64 ? 0xFFFFFFFFull : 0;

    abiPutLe(&zip, 0x04034B50, 4);
    abiPutLe(&zip, e->zip64 ? 45 : 20, 2);
    abiPutLe(&zip, flags, 2);
    abiPutLe(&zip, e->deflate ? 8 : 0, 2);
    abiPutLe(&zip, 0x6000, 2); /* 12:00 */
    abiPutLe(&zip, 0x5A21, 2); /* 2025-01-01 */
    abiPutLe(&zip, e->descriptor ? 0 : crc, 4);
    abiPutLe(&zip, e->zip64 ? small32 : e->descriptor ? 0 : payload.size, 4);
    abiPutLe(&zip, e->zip64 ? small32 : e->descriptor ? 0 : e->size, 4);
    abiPutLe(&zip, nameLength, 2);
    abiPutLe(&zip, e->zip64 ? 20 : 0, 2);
    abiPut(&zip, e->name, nameLength);
    if (e->zip64) {
      abiPutLe(&zip, 1, 2);
      abiPutLe(&zip, 16, 2);
      abiPutLe(&zip, e->descriptor ? 0 : e->size, 8);
      abiPutLe(&zip, e->descriptor ? 0 : payload.size, 8);
    }
    abiPut(&zip, payload.bytes, payload.size);
    if (e->descriptor) {
      abiPutLe(&zip, 0x08074B50, 4);
      abiPutLe(&zip, crc, 4);
      abiPutLe(&zip, payload.size, e->zip64 ? 8 : 4);
      abiPutLe(&zip, e->size, e->zip64 ? 8 : 4);
    }

    abiPutLe(&central, 0x02014B50, 4);
    abiPutLe(&central, 0x0314, 2); /* made on a Unix system */
    abiPutLe(&central, e->zip64 ? 45 : 20, 2);
    abiPutLe(&central, flags, 2);
    abiPutLe(&central, e->deflate ? 8 : 0, 2);
    abiPutLe(&central, 0x6000, 2);
    abiPutLe(&central, 0x5A21, 2);
    abiPutLe(&central, crc, 4);
    abiPutLe(&central, e->zip64 ? small32 : payload.size, 4);
    abiPutLe(&central, e->zip64 ? small32 : e->size, 4);
    abiPutLe(&central, nameLength, 2);
    abiPutLe(&central, e->zip64 ? 28 : 0, 2);
    abiPutLe(&central, 0, 2); /* comment */
    abiPutLe(&central, 0, 2); /* disk */
    abiPutLe(&central, 0, 2); /* internal attributes */
    const unsigned mode = e->name[nameLength ? nameLength - 1 : 0] == '/' ? 040755u : 0100644u;
    abiPutLe(&central, (unsigned long long)mode << 16, 4);
    abiPutLe(&central, e->zip64 ? 0xFFFFFFFFull : offset, 4);
    abiPut(&central, e->name, nameLength);
    if (e->zip64) {
      abiPutLe(&central, 1, 2);
      abiPutLe(&central, 24, 2);
      abiPutLe(&central, e->size, 8);
      abiPutLe(&central, payload.size, 8);
      abiPutLe(&central, offset, 8);
    }
    free(payload.bytes);
    free(data);
  }
  const unsigned long long centralOffset = zip.size;
  abiPut(&zip, central.bytes, central.size);
  if (c->zip64End) {
    const unsigned long long endOffset = zip.size;
    abiPutLe(&zip, 0x06064B50, 4);
    abiPutLe(&zip, 44, 8);
    abiPutLe(&zip, 45, 2);
    abiPutLe(&zip, 45, 2);
    abiPutLe(&zip, 0, 4);
    abiPutLe(&zip, 0, 4);
    abiPutLe(&zip, c->count, 8);
    abiPutLe(&zip, c->count, 8);
    abiPutLe(&zip, central.size, 8);
    abiPutLe(&zip, centralOffset, 8);
    abiPutLe(&zip, 0x07064B50, 4);
    abiPutLe(&zip, 0, 4);
    abiPutLe(&zip, endOffset, 8);
    abiPutLe(&zip, 1, 4);
  }
  abiPutLe(&zip, 0x06054B50, 4);
  abiPutLe(&zip, 0, 4);
  abiPutLe(&zip, c->zip64End ? 0xFFFF : c->count, 2);
  abiPutLe(&zip, c->zip64End ? 0xFFFF : c->count, 2);
  abiPutLe(&zip, c->zip64End ? 0xFFFFFFFFull : central.size, 4);
  abiPutLe(&zip, c->zip64End ? 0xFFFFFFFFull : centralOffset, 4);
  abiPutLe(&zip, 0, 2);
  FILE *f = fopen(path, "wb");
  const int failed = !f || fwrite(zip.bytes, 1, zip.size, f) != zip.size;
  if (f)
    fclose(f);
  free(zip.bytes);
  free(central.bytes);
  return failed;
}

static const AbiEntry abiMixed[] = {
    {"readme.txt", "readme.txt", 300, 1, 0, 0, 0},
    {"data/level1.bin", "data/level1.bin", 200000, 2, 1, 0, 0},
    {"data/level2.bin", "data/level2.bin", 70000, 3, 0, 0, 0},
    {"data/big.bin", "data/big.bin", 9u << 20, 4, 1, 0, 0},
    {"data/stored.bin", "data/stored.bin", 1500000, 17, 0, 0, 0},
};
static const AbiEntry abiDescriptors[] = {
    {"one.bin", "one.bin", 50000, 5, 1, 1, 0},
    {"two.bin", "two.bin", 1000, 6, 0, 1, 0},
    {"three.bin", "three.bin", 120000, 7, 1, 1, 0},
};
static const AbiEntry abiZip64[] = {
    {"z/a.bin", "z/a.bin", 40000, 8, 1, 0, 1},
    {"z/b.bin", "z/b.bin", 500, 9, 0, 0, 1},
    {"z/c.bin", "z/c.bin", 30000, 10, 1, 1, 1},
};
static const AbiEntry abiBackslashes[] = {
    {"roms\\cpu\\prog.bin", "roms/cpu/prog.bin", 4000, 11, 1, 0, 0},
    {"roms\\gfx.bin", "roms/gfx.bin", 6000, 12, 0, 0, 0},
};
static const AbiEntry abiEmpty[] = {
    {"empty.txt", "empty.txt", 0, 13, 0, 0, 0},
    {"nothing.def", "nothing.def", 0, 14, 1, 0, 0},
    {"saves/", NULL, 0, 15, 0, 0, 0},
    {"after.bin", "after.bin", 10, 16, 0, 0, 0},
};

#define ABI_CASE(label, entries, zip64End, folder)                                                 \
  { label, entries, sizeof entries / sizeof entries[0], zip64End, folder }
static const AbiCase abiCases[] = {
    ABI_CASE("stored and deflated", abiMixed, 0, NULL),
    ABI_CASE("data descriptors", abiDescriptors, 0, NULL),
    ABI_CASE("zip64", abiZip64, 1, NULL),
    ABI_CASE("backslashes", abiBackslashes, 0, NULL),
    ABI_CASE("empty entries", abiEmpty, 0, "saves"),
};

static int abiFiles(const AbiCase *c) {
  int files = 0;
  for (size_t k = 0; k < c->count; ++k)
    files += c->entries[k].expected != NULL;
  return files;
}

/* Messages the library sent, for the failure report. */
static int32_t UNZIP_CALL abiCallback(UnzipCallbackInfo *info) {
  if (info->action >= UNZIP_ACTION_MESSAGE)
    fprintf(stderr, "  library: %d %s\n", info->errorCode, info->text);
  return 0;
}

/* The record as an outside program fills it: on the heap, exactly its size,
 * so a read past it is caught by AddressSanitizer. */
static UnzipCommand *abiCommand(const char *archive, char *pathBuffer) {
  UnzipCommand *command = malloc(sizeof *command);
  memset(command, 0, sizeof *command);
  memset(pathBuffer, 0, UNZIP_PATH_SIZE);
  strncpy(pathBuffer, archive, UNZIP_PATH_SIZE - 1);
  command->version = UNZIP_INTERFACE_VERSION;
  command->callback = abiCallback;
  command->reserved40 = 1;
  command->directoryNames = 1;
  command->overwrite = 1;
  command->zipFilename = pathBuffer;
  command->checkValue = UNZIP_CHECK_VALUE;
  return command;
}

/* 0 when every expected file below `folder` holds its bytes. */
static int abiCheckTree(const AbiCase *c, const char *folder) {
  int failures = 0;
  char path[4096];
  for (size_t k = 0; k < c->count; ++k) {
    const AbiEntry *e = &c->entries[k];
    if (!e->expected)
      continue;
    snprintf(path, sizeof path, "%s/%s", folder, e->expected);
    FILE *f = fopen(path, "rb");
    unsigned char *want = abiData(e->size, e->seed);
    unsigned char *got = malloc(e->size + 1);
    const size_t n = f ? fread(got, 1, e->size + 1, f) : 0;
    if (!f || n != e->size || memcmp(got, want, e->size) != 0) {
      fprintf(stderr, "%s: %s differs (%s, %zu of %zu bytes)\n", c->label, e->expected,
              f ? "present" : "missing", n, e->size);
      ++failures;
    }
    if (f)
      fclose(f);
    free(got);
    free(want);
  }
  struct stat info;
  if (c->folder) {
    snprintf(path, sizeof path, "%s/%s", folder, c->folder);
    if (stat(path, &info) != 0 || !S_ISDIR(info.st_mode)) {
      fprintf(stderr, "%s: folder %s missing\n", c->label, c->folder);
      ++failures;
    }
  }
  return failures;
}

/* The library from VANTOR_BIN_DIR, or NULL with the reason printed. */
static void *abiOpenLibrary(void) {
  const char *bin = getenv("VANTOR_BIN_DIR");
  char path[4096];
  snprintf(path, sizeof path, "%s/libunziplib.so", bin ? bin : ".");
  void *library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (!library)
    fprintf(stderr, "cannot load %s: %s\n", path, dlerror());
  return library;
}

#endif
