#!/bin/sh
# with_platform_roots.sh ROOTS COMMAND [ARGS...]
#
# Runs COMMAND where Wine's certificate chain engine trusts exactly the CA certificates in the
# folder ROOTS: the chain engine reads the host's CA files under /etc/ssl/certs, so ROOTS is
# bind-mounted there inside a private mount namespace of COMMAND alone (the host and every
# other process keep their own /etc/ssl/certs). Needs root, as the test machines run. Sets
# QV_PLATFORM_ROOTS=1 for the tests that need this.
set -eu
roots=$1
shift
[ -d "$roots" ] || { echo "with_platform_roots.sh: no folder $roots" >&2; exit 2; }
exec unshare --mount --propagation private sh -c '
  roots=$1; shift
  mount --bind "$roots" /etc/ssl/certs
  QV_PLATFORM_ROOTS=1 exec "$@"' sh "$roots" "$@"
