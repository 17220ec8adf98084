/* A host written in plain C against the module's documented Linux binary
 * interface alone: it loads the module, asks for its kinds, creates a
 * driver and makes every dispatch call of both blocks. Nothing of the
 * project's C++ is used, so the boundary is checked as a stranger sees it. */
#include <dlfcn.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <uchar.h>

typedef int32_t HRESULT;
typedef char16_t OLECHAR;
typedef OLECHAR *BSTR;

typedef struct { uint32_t d1; uint16_t d2, d3; uint8_t d4[8]; } GUID;

typedef struct VARIANT {
  uint16_t vt, r1, r2, r3;
  union {
    int64_t llVal;
    int32_t lVal;
    int16_t boolVal;
    double dblVal;
    BSTR bstrVal;
    void *pdispVal;
    void *byref;
    int16_t *pboolVal;
    BSTR *pbstrVal;
    struct { void *a, *b; } rec;
  } u;
} VARIANT;

typedef struct { VARIANT *rgvarg; int32_t *named; uint32_t cArgs, cNamed; } DISPPARAMS;

struct IDispatch;
typedef struct {
  HRESULT (*QueryInterface)(struct IDispatch *, const GUID *, void **);
  uint32_t (*AddRef)(struct IDispatch *);
  uint32_t (*Release)(struct IDispatch *);
  HRESULT (*GetTypeInfoCount)(struct IDispatch *, uint32_t *);
  HRESULT (*GetTypeInfo)(struct IDispatch *, uint32_t, uint32_t, void **);
  HRESULT (*GetIDsOfNames)(struct IDispatch *, const GUID *, OLECHAR **, uint32_t, uint32_t, int32_t *);
  HRESULT (*Invoke)(struct IDispatch *, int32_t, const GUID *, uint32_t, uint16_t, DISPPARAMS *,
                    VARIANT *, void *, uint32_t *);
} IDispatchVtbl;
typedef struct IDispatch { const IDispatchVtbl *lpVtbl; } IDispatch;

enum { VT_EMPTY = 0, VT_I4 = 3, VT_BSTR = 8, VT_DISPATCH = 9, VT_BOOL = 11, VT_I8 = 20, VT_BYREF = 0x4000 };

static BSTR make_bstr(const char *ascii) {
  size_t n = strlen(ascii);
  char *block = malloc(4 + 2 * n + 2);
  uint32_t bytes = (uint32_t)(2 * n);
  memcpy(block, &bytes, 4);
  OLECHAR *text = (OLECHAR *)(block + 4);
  for (size_t i = 0; i < n; ++i) text[i] = (OLECHAR)ascii[i];
  text[n] = 0;
  return text;
}

static void free_bstr(BSTR text) {
  if (text) free((char *)text - 4);
}

static void clear(VARIANT *v) {
  if (v->vt == VT_BSTR) free_bstr(v->u.bstrVal);
  if (v->vt == VT_DISPATCH && v->u.pdispVal) {
    IDispatch *d = v->u.pdispVal;
    d->lpVtbl->Release(d);
  }
  memset(v, 0, sizeof *v);
}

/* Argument shapes: I integer, L 64-bit, S string, D null dispatch. */
struct row { int32_t id; const char *args; };

static const struct row rows[] = {
  {503379,""},{503380,""},{503381,""},{503382,""},{503383,""},{503384,""},{503385,""},
  {503386,""},{503387,""},{503388,""},{503389,""},{503390,""},{503391,""},{503392,""},
  {503393,""},{503394,""},{503395,""},{503396,""},{503397,""},{503398,""},{503399,""},
  {503400,""},{503401,""},{503402,""},{503403,""},{503404,""},{503405,""},{503406,""},
  {503407,""},{503408,""},{503409,""},{503410,""},{503411,"I"},{503412,""},{503413,""},
  {503414,""},{503415,""},{503416,""},{503417,""},{503418,""},{503419,""},{503420,""},
  {503421,""},{503422,"I"},{503423,""},{503424,"S"},
  {503753,""},{503754,"D"},{503755,""},{503756,""},{503757,""},{503758,""},{503759,""},
  {503760,""},{503761,"S"},{503762,""},{503763,""},{503764,""},{503765,""},{503766,"IL"},
  {503767,"I"},{503768,"I"},{503769,"I"},{503770,"I"},{503771,""},{503772,""},{503773,""},
  {503774,""},{503775,"I"},{503776,"I"},{503777,"I"},{503778,"I"},{503779,"I"},{503780,""},
  {503781,""},{503782,"I"},{503783,"I"},{503784,""},{503785,""},{503786,""},{503787,""},
  {503788,"S"},{503789,""},{503790,""},{503791,""},{503792,""},{503793,""},{503794,""},
  {503795,""},{503796,""},{503797,""},{503798,""},{503799,"I"},{503800,""},{503801,""},
  {503802,""},{503803,""},{503804,""},{503805,"S"},{503806,""},{503807,"IS"},{503808,"I"},
  {503809,"D"},{503810,""},{503811,""},{503812,""},{503813,""},{503814,"I"},
  {503816,"SSS"},{503817,""},{503818,"I"},{503819,"D"},{503820,""},{503821,""},{503822,"S"},
  {508552,"IL"},{508553,"ILL"},{508554,"I"},{509312,""},{509376,""},{509427,""},{509470,""},
  {509981,"I"},{1023,"S"},
};

/* Drivers live until the process ends: the host keeps the one it made. */
static IDispatch *g_driver;

int main(int argc, char **argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: c_host MODULE\n");
    return 2;
  }
  void *module = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
  if (!module) {
    fprintf(stderr, "dlopen: %s\n", dlerror());
    return 1;
  }
  HRESULT (*count_fn)(int32_t *) = (HRESULT (*)(int32_t *))dlsym(module, "GetTalvoDriverCount");
  HRESULT (*driver_fn)(int32_t, IDispatch **) =
      (HRESULT (*)(int32_t, IDispatch **))dlsym(module, "GetTalvoDriver_Plugin");
  if (!count_fn || !driver_fn) return 1;
  int32_t count = 0;
  if (count_fn(&count) != 0 || count != 420) return 1;
  IDispatch *driver = NULL;
  if (driver_fn(60, &driver) != 0 || !driver) return 1;
  g_driver = driver;

  const GUID null_iid = {0};
  int failures = 0;
  for (size_t r = 0; r < sizeof rows / sizeof rows[0]; ++r) {
    VARIANT args[3];
    size_t n = strlen(rows[r].args);
    memset(args, 0, sizeof args);
    for (size_t i = 0; i < n; ++i) {
      VARIANT *v = &args[n - 1 - i]; /* the last argument comes first */
      switch (rows[r].args[i]) {
        case 'I': v->vt = VT_I4; v->u.lVal = 0; break;
        case 'L': v->vt = VT_I8; v->u.llVal = 0x100000001LL; break;
        case 'S': v->vt = VT_BSTR; v->u.bstrVal = make_bstr("TalvoDriver"); break;
        case 'D': v->vt = VT_DISPATCH; v->u.pdispVal = NULL; break;
      }
    }
    DISPPARAMS params = {args, NULL, (uint32_t)n, 0};
    VARIANT result;
    memset(&result, 0, sizeof result);
    HRESULT hr = driver->lpVtbl->Invoke(driver, rows[r].id, &null_iid, 0, 1, &params, &result,
                                        NULL, NULL);
    if (hr != 0) {
      fprintf(stderr, "DISPID %d failed: 0x%08X\n", rows[r].id, (unsigned)hr);
      ++failures;
    }
    if (rows[r].id == 503380) {
      /* A BSTR: a 4-byte byte count before the characters, a zero after. */
      uint32_t bytes;
      memcpy(&bytes, (char *)result.u.bstrVal - 4, 4);
      if (result.vt != VT_BSTR || bytes != 2 * strlen("LCMXO2-1200HC-4TG100C") ||
          result.u.bstrVal[bytes / 2] != 0 || result.u.bstrVal[0] != 'L') {
        fprintf(stderr, "GetDeviceName is not the expected BSTR\n");
        ++failures;
      }
    }
    if (rows[r].id == 1023 && !(result.vt == VT_BOOL && result.u.boolVal == -1)) {
      fprintf(stderr, "SupportsService(TalvoDriver) is not true\n");
      ++failures;
    }
    clear(&result);
    for (size_t i = 0; i < n; ++i) clear(&args[i]);
  }
  printf("%d passed, %d failed\n", (int)(sizeof rows / sizeof rows[0]) - failures, failures);
  return failures ? 1 : 0;
}
