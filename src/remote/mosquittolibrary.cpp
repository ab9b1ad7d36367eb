// The libmosquitto functions that the MQTT client calls. They are defined here, each handing the
// call to the library, so that the program does not load libmosquitto, and the TLS libraries it
// brings, before a board is first published or followed: the library is opened on the first
// call. Without it every call does nothing and returns its failure value; mosquitto_lib_init()
// then reports MOSQ_ERR_NOT_SUPPORTED, and the client calls nothing else.
#include "sharedlibrary.h"

#include <mosquitto.h>

// Each function: its name, its parameters, the arguments passed on and what it returns
// without the library.
#define Q47_MOSQUITTO_FUNCTIONS(X)                                                                 \
    X(int, mosquitto_lib_init, (void), (), MOSQ_ERR_NOT_SUPPORTED)                                 \
    X(mosquitto *, mosquitto_new, (const char *id, bool cleanSession, void *data),                 \
      (id, cleanSession, data), nullptr)                                                           \
    X(void, mosquitto_destroy, (mosquitto * m), (m), void())                                       \
    X(int, mosquitto_threaded_set, (mosquitto * m, bool threaded), (m, threaded),                  \
      MOSQ_ERR_NOT_SUPPORTED)                                                                      \
    X(int, mosquitto_int_option, (mosquitto * m, enum mosq_opt_t option, int value),               \
      (m, option, value), MOSQ_ERR_NOT_SUPPORTED)                                                  \
    X(int, mosquitto_username_pw_set, (mosquitto * m, const char *user, const char *password),     \
      (m, user, password), MOSQ_ERR_NOT_SUPPORTED)                                                 \
    X(int, mosquitto_tls_set,                                                                      \
      (mosquitto * m, const char *caFile, const char *caPath, const char *certFile,                \
       const char *keyFile, int (*passwordCallback)(char *, int, int, void *)),                    \
      (m, caFile, caPath, certFile, keyFile, passwordCallback), MOSQ_ERR_NOT_SUPPORTED)            \
    X(void, mosquitto_connect_callback_set,                                                        \
      (mosquitto * m, void (*callback)(mosquitto *, void *, int)), (m, callback), void())          \
    X(void, mosquitto_disconnect_callback_set,                                                     \
      (mosquitto * m, void (*callback)(mosquitto *, void *, int)), (m, callback), void())          \
    X(void, mosquitto_message_callback_set,                                                        \
      (mosquitto * m, void (*callback)(mosquitto *, void *, const mosquitto_message *)),           \
      (m, callback), void())                                                                       \
    X(int, mosquitto_connect_async, (mosquitto * m, const char *host, int port, int keepAlive),    \
      (m, host, port, keepAlive), MOSQ_ERR_NOT_SUPPORTED)                                          \
    X(int, mosquitto_reconnect_async, (mosquitto * m), (m), MOSQ_ERR_NOT_SUPPORTED)                \
    X(int, mosquitto_disconnect, (mosquitto * m), (m), MOSQ_ERR_NOT_SUPPORTED)                     \
    X(int, mosquitto_loop, (mosquitto * m, int timeout, int maxPackets), (m, timeout, maxPackets), \
      MOSQ_ERR_NOT_SUPPORTED)                                                                      \
    X(int, mosquitto_publish,                                                                      \
      (mosquitto * m, int *id, const char *topic, int length, const void *payload, int qos,        \
       bool retain),                                                                               \
      (m, id, topic, length, payload, qos, retain), MOSQ_ERR_NOT_SUPPORTED)                        \
    X(int, mosquitto_subscribe, (mosquitto * m, int *id, const char *topic, int qos),              \
      (m, id, topic, qos), MOSQ_ERR_NOT_SUPPORTED)                                                 \
    X(const char *, mosquitto_strerror, (int error), (error), "libmosquitto not found")            \
    X(const char *, mosquitto_connack_string, (int code), (code), "libmosquitto not found")

namespace q47 {
namespace {
Q47_LAZY_FUNCTIONS(Mosquitto, mosquittoLibrary, Q47_MOSQUITTO_SONAME, Q47_MOSQUITTO_FUNCTIONS)
} // namespace
} // namespace q47

#define Q47_LAZY_ACCESSOR q47::mosquittoLibrary
Q47_MOSQUITTO_FUNCTIONS(Q47_LAZY_FORWARD)
#undef Q47_LAZY_ACCESSOR
