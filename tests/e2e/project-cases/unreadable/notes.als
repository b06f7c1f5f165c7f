not a project at all
