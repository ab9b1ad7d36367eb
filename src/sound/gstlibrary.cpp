// The GStreamer functions that the sound channels, the MIDI streams, the speech and the
// recordings call. They are defined here, each handing the call to the library, so that the
// program does not load GStreamer, and the many libraries it brings, before its first sound:
// the library is opened on the first call. Without it every call does nothing and returns its
// failure value; gst_init_check() then reports false, and its callers call nothing else.
#include "sharedlibrary.h"

#include <gst/app/gstappsink.h>
#include <gst/app/gstappsrc.h>
#include <gst/gst.h>

#include <cstdarg>

// Each function: its name, its parameters, the arguments passed on and what it returns
// without the library.
#define Q47_GST_FUNCTIONS(X)                                                                       \
    X(gboolean, gst_init_check, (int *argc, char **argv[], GError **error), (argc, argv, error),   \
      FALSE)                                                                                       \
    X(void, gst_bus_set_sync_handler,                                                              \
      (GstBus * bus, GstBusSyncHandler func, gpointer data, GDestroyNotify notify),                \
      (bus, func, data, notify), void())                                                           \
    X(GstElement *, gst_element_factory_make, (const gchar *factory, const gchar *name),           \
      (factory, name), nullptr)                                                                    \
    X(GstBus *, gst_element_get_bus, (GstElement * element), (element), nullptr)                   \
    X(GstPad *, gst_element_get_static_pad, (GstElement * element, const gchar *name),             \
      (element, name), nullptr)                                                                    \
    X(gboolean, gst_element_query_position,                                                        \
      (GstElement * element, GstFormat format, gint64 * position), (element, format, position),    \
      FALSE)                                                                                       \
    X(GstStateChangeReturn, gst_element_set_state, (GstElement * element, GstState state),         \
      (element, state), GST_STATE_CHANGE_FAILURE)                                                  \
    X(gchar *, gst_filename_to_uri, (const gchar *filename, GError **error), (filename, error),    \
      nullptr)                                                                                     \
    X(void, gst_mini_object_unref, (GstMiniObject * object), (object), void())                     \
    X(gpointer, gst_object_ref, (gpointer object), (object), nullptr)                              \
    X(gpointer, gst_object_ref_sink, (gpointer object), (object), nullptr)                         \
    X(void, gst_object_unref, (gpointer object), (object), void())                                 \
    X(gulong, gst_pad_add_probe,                                                                   \
      (GstPad * pad, GstPadProbeType mask, GstPadProbeCallback callback, gpointer data,            \
       GDestroyNotify destroy),                                                                    \
      (pad, mask, callback, data, destroy), 0)                                                     \
    X(gboolean, gst_bin_add, (GstBin * bin, GstElement * element), (bin, element), FALSE)          \
    X(GType, gst_bin_get_type, (void), (), 0)                                                      \
    X(GType, gst_element_get_type, (void), (), 0)                                                  \
    X(GType, gst_object_get_type, (void), (), 0)                                                   \
    X(gboolean, gst_element_link, (GstElement * source, GstElement * destination),                 \
      (source, destination), FALSE)                                                                \
    X(GstElement *, gst_parse_bin_from_description,                                                \
      (const gchar *description, gboolean ghostUnlinked, GError **error),                          \
      (description, ghostUnlinked, error), nullptr)                                                \
    X(GstElement *, gst_pipeline_new, (const gchar *name), (name), nullptr)                        \
    X(GstBuffer *, gst_buffer_new_allocate,                                                        \
      (GstAllocator * allocator, gsize size, GstAllocationParams * params),                        \
      (allocator, size, params), nullptr)                                                          \
    X(GstBuffer *, gst_buffer_new_memdup, (gconstpointer data, gsize size), (data, size), nullptr) \
    X(gboolean, gst_buffer_map, (GstBuffer * buffer, GstMapInfo * info, GstMapFlags flags),        \
      (buffer, info, flags), FALSE)                                                                \
    X(void, gst_buffer_unmap, (GstBuffer * buffer, GstMapInfo * info), (buffer, info), void())     \
    X(GstCaps *, gst_caps_new_empty, (void), (), nullptr)                                          \
    X(void, gst_caps_append_structure, (GstCaps * caps, GstStructure * structure),                 \
      (caps, structure), void())                                                                   \
    X(GstStructure *, gst_structure_new_valist,                                                    \
      (const gchar *name, const gchar *field, va_list values), (name, field, values), nullptr)     \
    X(gboolean, gst_element_post_message, (GstElement * element, GstMessage * message),            \
      (element, message), FALSE)                                                                   \
    X(GstMessage *, gst_message_new_error,                                                         \
      (GstObject * source, GError * error, const gchar *debug), (source, error, debug), nullptr)   \
    X(void, gst_message_parse_error, (GstMessage * message, GError * *error, gchar * *debug),      \
      (message, error, debug), void())                                                             \
    X(GQuark, gst_stream_error_quark, (void), (), 0)                                               \
    X(guint64, gst_util_uint64_scale, (guint64 value, guint64 num, guint64 denom),                 \
      (value, num, denom), 0)                                                                      \
    X(GstElement *, gst_parse_launch, (const gchar *description, GError **error),                  \
      (description, error), nullptr)                                                               \
    X(GstElement *, gst_bin_get_by_name, (GstBin * bin, const gchar *name), (bin, name), nullptr)  \
    X(GstMessage *, gst_bus_timed_pop_filtered,                                                    \
      (GstBus * bus, GstClockTime timeout, GstMessageType types), (bus, timeout, types), nullptr)  \
    X(GstBuffer *, gst_buffer_new_wrapped_full,                                                    \
      (GstMemoryFlags flags, gpointer data, gsize maxsize, gsize offset, gsize size,               \
       gpointer userData, GDestroyNotify notify),                                                  \
      (flags, data, maxsize, offset, size, userData, notify), nullptr)                             \
    X(GstBuffer *, gst_sample_get_buffer, (GstSample * sample), (sample), nullptr)                 \
    X(GType, gst_app_sink_get_type, (void), (), 0)                                                 \
    X(GstSample *, gst_app_sink_try_pull_sample, (GstAppSink * sink, GstClockTime timeout),        \
      (sink, timeout), nullptr)                                                                    \
    X(gboolean, gst_app_sink_is_eos, (GstAppSink * sink), (sink), TRUE)                            \
    X(GType, gst_app_src_get_type, (void), (), 0)                                                  \
    X(GstFlowReturn, gst_app_src_end_of_stream, (GstAppSrc * source), (source), GST_FLOW_ERROR)    \
    X(guint64, gst_app_src_get_current_level_bytes, (GstAppSrc * source), (source), 0)             \
    X(GstFlowReturn, gst_app_src_push_buffer, (GstAppSrc * source, GstBuffer * buffer),            \
      (source, buffer), GST_FLOW_ERROR)                                                            \
    X(void, g_object_set_valist, (GObject * object, const gchar *name, va_list values),            \
      (object, name, values), void())                                                              \
    X(void, g_object_weak_ref, (GObject * object, GWeakNotify notify, gpointer data),              \
      (object, notify, data), void())                                                              \
    X(GTypeInstance *, g_type_check_instance_cast, (GTypeInstance * instance, GType type),         \
      (instance, type), instance)

namespace q47 {
namespace {
// The app library loads GStreamer and GObject with it, and its handle finds theirs.
Q47_LAZY_FUNCTIONS(GStreamer, gstreamer, Q47_GSTAPP_SONAME, Q47_GST_FUNCTIONS)
} // namespace
} // namespace q47

#define Q47_LAZY_ACCESSOR q47::gstreamer
Q47_GST_FUNCTIONS(Q47_LAZY_FORWARD)
#undef Q47_LAZY_ACCESSOR

// The functions with a variable list of arguments, on the ones that take a va_list.

void g_object_set(gpointer object, const gchar *name, ...) {
    va_list values;
    va_start(values, name);
    g_object_set_valist(static_cast<GObject *>(object), name, values);
    va_end(values);
}

GstCaps *gst_caps_new_simple(const char *mediaType, const char *field, ...) {
    va_list values;
    va_start(values, field);
    GstStructure *structure = gst_structure_new_valist(mediaType, field, values);
    va_end(values);
    if (!structure)
        return nullptr;
    GstCaps *caps = gst_caps_new_empty();
    gst_caps_append_structure(caps, structure);
    return caps;
}

gboolean gst_element_link_many(GstElement *first, GstElement *second, ...) {
    va_list more;
    va_start(more, second);
    gboolean linked = gst_element_link(first, second);
    for (GstElement *from = second, *to = nullptr; linked && (to = va_arg(more, GstElement *));
         from = to)
        linked = gst_element_link(from, to);
    va_end(more);
    return linked;
}
