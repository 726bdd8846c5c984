#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""test-email through the administrator's own transports, against real peers.

SMTP: an aiosmtpd server on 127.0.0.1 that requires STARTTLS and AUTH, with a
certificate of a CA made here; the message must arrive over TLS with the
right login, an untrusted certificate, a wrong password or a password file
that others may read must fail with "MailCore Failure" and the reason, and
the password must appear in no output or file of the run. Implicit TLS
(smtps://) and a systemd credential are tried too. sendmail: a fake one on
PATH must receive the exact message with -t -oi. exec: a program must get
the subject and addresses in its environment and the text on standard input.
The settings come from a system configuration file, as an administrator
would set them.

Usage: own_mail_test.py CLI DEMO_MACHINE_DIR
Exits 77 (skipped) without aiosmtpd or openssl.
"""
import logging
import os
import re
import socket
import ssl
import subprocess
import sys
import tempfile
import warnings

try:
    from aiosmtpd.controller import Controller
    from aiosmtpd.smtp import AuthResult
except ImportError:
    # Debian's python3-aiosmtpd is for the system's Python, which another
    # python3 on PATH may hide.
    if os.path.exists("/usr/bin/python3") and os.path.realpath(sys.executable) != \
            os.path.realpath("/usr/bin/python3") and not os.environ.get("OWN_MAIL_REEXEC"):
        os.environ["OWN_MAIL_REEXEC"] = "1"
        os.execv("/usr/bin/python3", ["/usr/bin/python3"] + sys.argv)
    print("aiosmtpd is not installed (python3-aiosmtpd); skipped")
    sys.exit(77)

cli, demo_machine = sys.argv[1], sys.argv[2]
# The refused handshakes are expected; the server need not print them.
logging.getLogger("mail.log").setLevel(logging.CRITICAL)
warnings.filterwarnings("ignore", module="aiosmtpd")
USER, PASSWORD = "monitor", "Pa55-w0rd-n3ver-logged"
SUBJECT = "Ostrivane Email Test"
BODY = "If you read this delivering to your address worked fine."
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def openssl(*args, cwd):
    subprocess.run(["openssl", *args], cwd=cwd, check=True, capture_output=True)


def make_certificates(folder):
    """A test CA with a server certificate for 127.0.0.1, and a second CA."""
    for ca in ("ca", "other-ca"):
        openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                "-subj", f"/CN=Ostrivane test {ca}", "-keyout", f"{ca}.key", "-out", f"{ca}.pem",
                cwd=folder)
    openssl("req", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=127.0.0.1",
            "-keyout", "server.key", "-out", "server.csr", cwd=folder)
    with open(os.path.join(folder, "san.ext"), "w") as f:
        f.write("subjectAltName=IP:127.0.0.1,DNS:localhost\n")
    openssl("x509", "-req", "-in", "server.csr", "-CA", "ca.pem", "-CAkey", "ca.key",
            "-CAcreateserial", "-days", "2", "-extfile", "san.ext", "-out", "server.pem",
            cwd=folder)


class Recorder:
    def __init__(self):
        self.messages = []

    async def handle_DATA(self, server, session, envelope):
        auth = getattr(session, "auth_data", None)
        self.messages.append({"tls": session.ssl is not None,
                              "login": getattr(auth, "login", None),
                              "from": envelope.mail_from, "to": list(envelope.rcpt_tos),
                              "data": envelope.content})
        return "250 OK"


def authenticator(server, session, envelope, mechanism, auth_data):
    ok = auth_data.login == USER.encode() and auth_data.password == PASSWORD.encode()
    return AuthResult(success=ok, handled=False, auth_data=auth_data)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def start_server(folder, implicit_tls):
    context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    context.load_cert_chain(os.path.join(folder, "server.pem"), os.path.join(folder, "server.key"))
    recorder = Recorder()
    port = free_port()
    kwargs = dict(authenticator=authenticator, auth_required=True)
    if implicit_tls:
        # aiosmtpd counts only STARTTLS as TLS for AUTH; this connection is
        # TLS from its first byte.
        controller = Controller(recorder, hostname="127.0.0.1", port=port, ssl_context=context,
                                auth_require_tls=False, **kwargs)
    else:
        controller = Controller(recorder, hostname="127.0.0.1", port=port, tls_context=context,
                                require_starttls=True, auth_require_tls=True, **kwargs)
    controller.start()
    return controller, recorder, port


def run(home, settings, args=("--to", "admin@example.org,ops@example.org"), extra_env=None,
        path_prefix=None, command="test-email"):
    config = os.path.join(home, "ostrivane.conf")
    with open(config, "w") as f:
        f.write("[settings]\n")
        for key, value in settings.items():
            f.write(f"{key} = {value}\n" if isinstance(value, int) else f'{key} = "{value}"\n')
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=home + "/config",
               XDG_DATA_HOME=home + "/data", XDG_STATE_HOME=home + "/state",
               XDG_CACHE_HOME=home + "/cache", OSTRIVANE_SYSTEM_CONFIG=config)
    env.pop("CREDENTIALS_DIRECTORY", None)
    env.update(extra_env or {})
    if path_prefix:
        env["PATH"] = path_prefix + os.pathsep + env.get("PATH", "")
    result = subprocess.run([cli, command, *args], env=env, capture_output=True, text=True,
                            timeout=120)
    return result.returncode, result.stdout.strip(), result.stderr


def private_file(path, text, mode=0o600):
    with open(path, "w") as f:
        f.write(text)
    os.chmod(path, mode)
    return path


def smtp_tests(home, certs):
    password_file = private_file(os.path.join(home, "smtp-password"), PASSWORD + "\n")
    controller, recorder, port = start_server(certs, implicit_tls=False)
    try:
        base = {"NotificationEmailTransport": "smtp",
                "NotificationSMTPServer": f"smtp://127.0.0.1:{port}",
                "NotificationSMTPUser": USER, "NotificationSMTPPasswordFile": password_file,
                "NotificationSMTPCAFile": os.path.join(certs, "ca.pem"),
                "NotificationEmailSender": "monitor@example.org"}
        status, out, err = run(home, base)
        check((status, out) == (0, "Success"), f"STARTTLS: {status} {out!r} {err!r}")
        check(len(recorder.messages) == 1, f"STARTTLS: {len(recorder.messages)} messages")
        if recorder.messages:
            m = recorder.messages[0]
            check(m["tls"], "STARTTLS: the message came over plain text")
            check(m["login"] == USER.encode(), f"STARTTLS: login {m['login']!r}")
            check(m["from"] == "monitor@example.org", f"STARTTLS: from {m['from']!r}")
            check(m["to"] == ["admin@example.org", "ops@example.org"], f"STARTTLS: to {m['to']}")
            check(b"\r\nSubject: " + SUBJECT.encode() + b"\r\n" in b"\r\n" + m["data"],
                  "STARTTLS: subject missing")
            check(m["data"].rstrip().endswith(BODY.encode()), "STARTTLS: body missing")
        recorder.messages.clear()

        # A check of the recorded machine below a raised warning threshold
        # sends each drive's problem e-mail the same way.
        status, out, err = run(home, dict(base, NotificationUseEmail=1,
                                          NotificationUseEmailAddress="storage@example.org",
                                          ThresholdWarning=99),
                               args=("--machine", demo_machine), command="check")
        problems = [m for m in recorder.messages
                    if b"Subject: Ostrivane SSD Problem Notification" in m["data"]]
        check(len(problems) >= 1, f"check: no problem e-mail ({status} {err!r})")
        check(all(m["tls"] and m["login"] == USER.encode() and m["to"] == ["storage@example.org"]
                  for m in problems), "check: a problem e-mail without TLS, login or recipient")
        check(all(b"below the set WARNING threshold" in m["data"] for m in problems),
              "check: the problem e-mail lacks its text")
        recorder.messages.clear()

        # Refused before anything is sent: a certificate of another CA, the
        # system's CAs (which do not know the test CA), a wrong password, a
        # password file others may read.
        cases = [
            ("untrusted CA", dict(base, NotificationSMTPCAFile=os.path.join(certs, "other-ca.pem")),
             "certificate"),
            ("system CAs", {k: v for k, v in base.items() if k != "NotificationSMTPCAFile"},
             "certificate"),
            ("wrong password", dict(base, NotificationSMTPPasswordFile=private_file(
                os.path.join(home, "wrong-password"), "not-it")), "535"),
            ("readable password file", dict(base, NotificationSMTPPasswordFile=private_file(
                os.path.join(home, "open-password"), PASSWORD, 0o644)), "chmod 600"),
        ]
        for name, settings, reason in cases:
            status, out, err = run(home, settings)
            check((status, out) == (1, "MailCore Failure"), f"{name}: {status} {out!r}")
            check(reason in err, f"{name}: the reason {reason!r} is not in {err!r}")
            check(not recorder.messages, f"{name}: a message was delivered")
            check(PASSWORD not in out + err, f"{name}: the password was printed")

        # The systemd credential stands in for the password file.
        credentials = os.path.join(home, "credentials")
        os.makedirs(credentials)
        private_file(os.path.join(credentials, "ostrivane-smtp-password"), PASSWORD, 0o400)
        settings = {k: v for k, v in base.items() if k != "NotificationSMTPPasswordFile"}
        status, out, err = run(home, settings, extra_env={"CREDENTIALS_DIRECTORY": credentials})
        check((status, out) == (0, "Success"), f"credential: {status} {out!r} {err!r}")
        check(len(recorder.messages) == 1, "credential: no message")
    finally:
        controller.stop()

    controller, recorder, port = start_server(certs, implicit_tls=True)
    try:
        status, out, err = run(home, dict(base, NotificationSMTPServer=f"smtps://127.0.0.1:{port}"))
        check((status, out) == (0, "Success"), f"smtps: {status} {out!r} {err!r}")
        check(len(recorder.messages) == 1, "smtps: no message")
        check(recorder.messages and recorder.messages[0]["login"] == USER.encode(),
              "smtps: not authenticated")
    finally:
        controller.stop()


def sendmail_tests(home):
    bin_dir = os.path.join(home, "bin")
    os.makedirs(bin_dir)
    received = os.path.join(home, "sendmail-received")
    with open(os.path.join(bin_dir, "sendmail"), "w") as f:
        f.write(f'#!/bin/sh\nprintf "%s\\n" "$*" > "{received}.args"\ncat > "{received}"\n')
    os.chmod(os.path.join(bin_dir, "sendmail"), 0o755)
    status, out, err = run(home, {"NotificationEmailTransport": "sendmail",
                                  "NotificationEmailSender": "monitor@example.org"},
                           path_prefix=bin_dir)
    check((status, out) == (0, "Success"), f"sendmail: {status} {out!r} {err!r}")
    check(open(received + ".args").read() == "-t -oi\n", "sendmail: not called with -t -oi")
    message = open(received, "rb").read()
    pattern = re.compile(
        rb"From: monitor@example\.org\n"
        rb"To: admin@example\.org, ops@example\.org\n"
        rb"Subject: Ostrivane Email Test\n"
        rb"Date: (Mon|Tue|Wed|Thu|Fri|Sat|Sun), \d\d (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|"
        rb"Nov|Dec) \d{4} \d\d:\d\d:\d\d \+0000\n"
        rb"Message-ID: <[0-9a-f-]{36}@example\.org>\n"
        rb"MIME-Version: 1\.0\n"
        rb"Content-Type: text/plain; charset=utf-8\n"
        rb"Content-Transfer-Encoding: 8bit\n"
        rb"\n" + re.escape(BODY.encode()) + rb"\n\Z")
    check(pattern.match(message) is not None, f"sendmail: unexpected message {message!r}")

    failing = os.path.join(home, "failing-sendmail")
    with open(failing, "w") as f:
        f.write("#!/bin/sh\ncat >/dev/null\necho 'mail queue is full' >&2\nexit 75\n")
    os.chmod(failing, 0o755)
    status, out, err = run(home, {"NotificationEmailTransport": "sendmail",
                                  "NotificationSendmailPath": failing})
    check((status, out) == (1, "MailCore Failure"), f"failing sendmail: {status} {out!r}")
    check("status 75" in err and "mail queue is full" in err, f"failing sendmail: {err!r}")


def exec_tests(home):
    received = os.path.join(home, "exec-received")
    program = os.path.join(home, "notify")
    with open(program, "w") as f:
        f.write(f'#!/bin/sh\nprintf "%s|%s|%s\\n" "$OSTRIVANE_SUBJECT" "$OSTRIVANE_ADDRESS" '
                f'"$OSTRIVANE_FROM" > "{received}.env"\ncat > "{received}"\n')
    os.chmod(program, 0o755)
    status, out, err = run(home, {"NotificationEmailTransport": "exec",
                                  "NotificationEmailProgram": program,
                                  "NotificationEmailSender": "monitor@example.org"})
    check((status, out) == (0, "Success"), f"exec: {status} {out!r} {err!r}")
    check(open(received + ".env").read() ==
          f"{SUBJECT}|admin@example.org ops@example.org|monitor@example.org\n",
          f"exec: environment {open(received + '.env').read()!r}")
    check(open(received).read() == BODY + "\n", "exec: standard input")
    status, out, err = run(home, {"NotificationEmailTransport": "exec",
                                  "NotificationEmailProgram": "/nonexistent/notify"})
    check((status, out) == (1, "MailCore Failure"), f"missing program: {status} {out!r}")
    status, out, err = run(home, {"NotificationEmailTransport": "carrier-pigeon"})
    check((status, out) == (1, "MailCore Failure") and "carrier-pigeon" in err,
          f"unknown transport: {status} {out!r} {err!r}")


with tempfile.TemporaryDirectory() as home:
    certs = os.path.join(home, "certs")
    os.makedirs(certs)
    try:
        make_certificates(certs)
    except (OSError, subprocess.CalledProcessError) as error:
        print(f"openssl cannot make the test certificates ({error}); skipped")
        sys.exit(77)
    smtp_tests(home, certs)
    sendmail_tests(home)
    exec_tests(home)
    # Nothing the runs wrote (logs, settings, caches) holds the password.
    secret_files = {"smtp-password", "open-password", "ostrivane-smtp-password"}
    for folder, _, files in os.walk(home):
        for name in files:
            if name in secret_files:
                continue
            with open(os.path.join(folder, name), "rb") as f:
                check(PASSWORD.encode() not in f.read(), f"the password is in {folder}/{name}")

for failure in failures:
    print("FAIL:", failure)
print(f"{len(failures)} failures")
sys.exit(1 if failures else 0)
