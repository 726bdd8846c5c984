// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ext/network_module.h"

// Sends one message with libcurl's SMTP client: TLS always (from the start
// for smtps://, by STARTTLS for smtp://), the certificate and host name
// verified, AUTH PLAIN or LOGIN as the server offers. Empty on success,
// otherwise the reason, with the server's last answer when there is one.
QString sendSmtpMail(const SmtpRequest& request);
