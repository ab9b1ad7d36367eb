// Only here so that the precompiled headers have a target of their own to belong to.
