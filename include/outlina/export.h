/* Symbol visibility and linkage shared by the public Outlina headers. */
#ifndef OUTLINA_EXPORT_H
#define OUTLINA_EXPORT_H

#if defined(__GNUC__)
#define OUTLINA_API __attribute__((visibility("default")))
#else
#define OUTLINA_API
#endif

#ifdef __cplusplus
#define OUTLINA_BEGIN_DECLS extern "C" {
#define OUTLINA_END_DECLS }
#else
#define OUTLINA_BEGIN_DECLS
#define OUTLINA_END_DECLS
#endif

#endif
